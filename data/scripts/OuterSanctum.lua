-- OuterSanctum.lua: the script of Outer Sanctum (room 35).
hv = hv or {}
hv.OuterSanctum = hv.OuterSanctum or {}
rooms = rooms or {}
rooms["OuterSanctum"] = roomScript("OuterSanctum")

-- The code puzzle: paint the row with four of the eight kinds, pull the
-- lever, read the marks (green: right place, yellow: elsewhere in the code,
-- grey: absent). Each solved code leaves one try fewer for the next.
function LF_solvedOuterSanctumPuzzle()
    return LF.outerSanctumSolved == true
end
function LF_getOuterSanctumPuzzleNumWins()
    return LF.outerSanctumWins or 0
end

local sanctum = rooms["OuterSanctum"]

-- A stone slab seals the way north to the volcano until both codes are
-- broken; a click on it says so.
local function showWayNorth(self)
    self:sprite("Seal"):show(not LF.outerSanctumSolved)
    self:enableDoor("Volcano", LF.outerSanctumSolved)
end
clickingSpot(sanctum, "Seal", function(self)
    think("STR_THINK_SEAL")
end)

local enterSanctum = sanctum.onEnter
sanctum.onEnter = function(self, n)
    enterSanctum(self, n)
    for i = 0, 3 do
        self:sprite("RowPiece_0_" .. i):show(false)
    end
    self:setAllowClicks(not LF.outerSanctumSolved)
    showWayNorth(self)
end
sanctum.pullLever = function(self, n)
end
sanctum.paintAgain = function(self, n)
end
sanctum.showResults = function(self, outOfTries, tries, solved)
    -- The judged row is emptied: the lever waits for the next full row, so
    -- no try goes on an empty one.
    self:sprite("LeverClickRect"):enable(false)
    self:sprite("Lever"):setFrame(0)
    for i = 0, 3 do
        local mark = self:sprite("Results_0_" .. i)
        mark:show(true)
        mark:setAlphaBalance(1.0)
    end
    if solved == 1 then
        LF.outerSanctumWins = (LF.outerSanctumWins or 0) + 1
        if LF.outerSanctumWins >= 2 then
            LF.outerSanctumSolved = true
            LF_updateTasks()
            self:setAllowClicks(false)
            showWayNorth(self)
            canvas:playSound(SOUNDS.chime)
        else
            self:setupPuzzle()
        end
    elseif outOfTries == 1 then
        -- Out of tries: a new code, the marks and the row cleared.
        self:setupPuzzle()
    else
        for i = 0, 3 do
            self:sprite("RowPiece_0_" .. i):show(false)
        end
    end
end
