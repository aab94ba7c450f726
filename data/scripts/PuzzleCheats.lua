-- PuzzleCheats.lua: the developer's jump screen. Each check box marks one
-- of a chapter's tasks as done (or not done again) in LF.cheats and ticks
-- the box; the page of a chapter shows only that chapter's boxes.
rooms = rooms or {}
LF = LF or {}
LF.cheats = LF.cheats or {}

local boxes = {
    {"SolvedLures", "CheckFixedFountain", "CheckCleanedStore", "CheckOpenedTreasureChest", "FoundAllFlowers"},
    {"FixedCompressor", "CollectedAllPearls", "WonConcentration", "SolvedJigsawPuzzle", "SolvedCallboxPuzzle", "SolvedTreasureChap2"},
    {"CleanedBookshelf", "OpenedGemDoor", "SolvedCaveEntrance"},
    {"SolvedOuterSanctum"},
    {"SolvedTicTac", "SolvedCircuitBoard", "SolvedSafeCrack"},
    {"SolvedWindRace", "SolvedTempleDoorPuzzles"},
}

local function showBox(self, name, visible)
    local box = self:sprite(name)
    if box then
        box:setFrame(LF.cheats[name] and 1 or 0)
        box:show(visible)
    end
end

local screen = {
    -- The program shows the page of the current chapter first.
    onEnter = function(self, n)
        for page, names in ipairs(boxes) do
            local background = self:sprite("Background_" .. page)
            local shown = background ~= nil and background:visible()
            for _, name in ipairs(names) do
                showBox(self, name, shown)
            end
        end
    end,
    onExit = function(self, n) end,
    onClick = function(self, x, y) end,
    onUse = function(self, x, y) end,
    resetGlobalItems = function(self, n) end,
}

-- Every check box's function flips its task.
local function checkBox(name)
    return function(self, n)
        LF.cheats[name] = not LF.cheats[name]
        local box = self:sprite(name)
        if box then
            box:setFrame(LF.cheats[name] and 1 or 0)
        end
    end
end
screen.clickOnSolvedLures = checkBox("SolvedLures")
screen.clickOnFixedFountain = checkBox("CheckFixedFountain")
screen.clickOnCleanedStore = checkBox("CheckCleanedStore")
screen.clickOnOpenedTreasureChest = checkBox("CheckOpenedTreasureChest")
screen.clickOnFoundAllFlowers = checkBox("FoundAllFlowers")
screen.clickOnFixedCompressor = checkBox("FixedCompressor")
screen.clickOnCollectedAllPearls = checkBox("CollectedAllPearls")
screen.clickOnWonConcentration = checkBox("WonConcentration")
screen.clickOnSolvedJigsawPuzzle = checkBox("SolvedJigsawPuzzle")
screen.clickOnSolvedCallboxPuzzle = checkBox("SolvedCallboxPuzzle")
screen.clickOnSolvedTreasureChestChap2 = checkBox("SolvedTreasureChap2")
screen.clickOnFixAllBookshelfItems = checkBox("CleanedBookshelf")
screen.clickOnOpenedGemDoor = checkBox("OpenedGemDoor")
screen.clickOnPlacedAllCaveEntranceItems = checkBox("SolvedCaveEntrance")
screen.clickOnSolvedOuterSanctum = checkBox("SolvedOuterSanctum")
screen.clickOnSolvedTicTac = checkBox("SolvedTicTac")
screen.clickOnSolvedCircuitBoard = checkBox("SolvedCircuitBoard")
screen.clickOnSolvedSafeCrack = checkBox("SolvedSafeCrack")
screen.clickOnSolvedWindRace = checkBox("SolvedWindRace")
screen.clickOnSolvedTemplePuzzleDoors = checkBox("SolvedTempleDoorPuzzles")

rooms["PuzzleCheats"] = screen
