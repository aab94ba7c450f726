-- InnerSanctum.lua: the script of Inner Sanctum (room 33). In the third
-- chapter the player comes over the raised bridge to its board of stones,
-- whose rules show under it; each plan whose pattern is lit gets a gold
-- frame, and with all four lit the lantern before the board lights and a
-- click on it ends the chapter; the board, done, rests lit. The way north
-- waits for the fourth chapter.
hv = hv or {}
hv.InnerSanctum = hv.InnerSanctum or {}
rooms = rooms or {}
rooms["InnerSanctum"] = roomScript("InnerSanctum")

-- The board answers in the third chapter: light the stones in each of the
-- four patterns of the plans (the frame, the cross, the plus, the ring).
local function patterns()
    LF.innerSanctumPatterns = LF.innerSanctumPatterns or {}
    return LF.innerSanctumPatterns
end

function LF_isInnerSanctumPatternSolved(n)
    return patterns()[n] and 1 or 0
end
function LF_solvedAllInnerSanctumPatterns()
    for n = 1, 4 do
        if not patterns()[n] then
            return false
        end
    end
    return true
end

local inner = rooms["InnerSanctum"]

-- The board waits for its patterns in the third chapter only, until all
-- four are lit; then (and in every other chapter) its stones rest lit and
-- take no clicks.
local function boardDone(self)
    return self:getChapterNumber() ~= 3 or LF_solvedAllInnerSanctumPatterns()
end

-- The rules under the board while it waits, and a gold frame about each plan
-- whose pattern is lit; entered once the board is done, all its stones are
-- lit (the last pattern stays as made until the room is left).
local function showBoard(self, entering)
    local done = boardDone(self)
    self:sprite("BoardRules"):show(not done)
    for n = 1, 4 do
        self:sprite("PlanLit_" .. n):show(done or patterns()[n] == true)
    end
    if done and entering then
        for i = 0, 24 do
            self:sprite("Piece_" .. i):setFrame(1)
        end
    end
end

-- A pattern lit frames its plan; the fourth lights the lantern, and the
-- player says what to do with it.
inner.onWinPattern = function(self, n)
    patterns()[n] = true
    canvas:playSound(SOUNDS.chime)
    LF_updateTasks()
    showBoard(self, false)
    inner.showChapterEnd(self)
    if LF_solvedAllInnerSanctumPatterns() then
        think("STR_THINK_SANCTUM_LIT")
    end
end
inner.dropTorch = function(self, n)
    canvas:dropSpecialCursor()
end

-- The way east to the village is choked by vines until the machete from the
-- volcano cuts them (dropped on them; the player says the way is open); a
-- click on them says so. From the fourth chapter on the bridge raised in
-- the third stands behind the player.
local enterInner = inner.onEnter
inner.onEnter = function(self, n)
    enterInner(self, n)
    if self:getChapterNumber() > 3 then
        LF.bridgeSolved = true
    end
    self:sprite("Vines"):show(not LF.vinesCut)
    self:enableDoor("VillageEnterance", LF.vinesCut)
    self:enableDoor("OuterSanctum", self:getChapterNumber() ~= 3)
    showBoard(self, true)
end
clickingSpot(inner, "Vines", function(self)
    think("STR_THINK_VINES")
end)
-- A point on a stone of the board.
local function onBoard(self, x, y)
    for i = 0, 24 do
        if self:sprite("Piece_" .. i):hittest(x, y) then
            return true
        end
    end
    return false
end
-- The way north (the exit at 340, 0, 120 x 90) is shut in the third
-- chapter, and the board done takes no clicks: a click on either says so,
-- the way north naming what is left to do (the board, or only its lantern).
local clickInner = inner.onClick
inner.onClick = function(self, x, y)
    if self:getChapterNumber() == 3 and x >= 340 and x < 460 and y >= 0 and y < 90 then
        think(LF_solvedAllInnerSanctumPatterns() and "STR_THINK_SANCTUM_NORTH_LANTERN" or "STR_THINK_SANCTUM_NORTH")
        return
    end
    if boardDone(self) and onBoard(self, x, y) then
        think("STR_THINK_SANCTUM_BOARD_DONE")
        return
    end
    clickInner(self, x, y)
end
local useInner = inner.onUse
inner.onUse = function(self, x, y)
    local vines = self:sprite("Vines")
    if canvas:getItemOnCursor() == "Machete" and vines:visible() and vines:hittest(x, y) then
        canvas:dropSpecialCursor()
        LF.vinesCut = true
        LF_takeItem("Machete")
        vines:show(false)
        self:enableDoor("VillageEnterance", true)
        self:createParticleEffect("Vines", "Lock", 25)
        canvas:playSound(SOUNDS.chime)
        think("STR_THINK_VINES_CUT")
        return
    end
    useInner(self, x, y)
end

-- The third chapter ends at the lantern lit by the four patterns.
chapterEndsOn(inner, 3, "SanctumLantern", function(self)
    return LF_solvedAllInnerSanctumPatterns()
end)

-- The player's thoughts stand under the board, right of the figure and
-- above the rules (and the new-task banner), where they cover no stone.
thinkingAt(inner, 200, 408)
