-- DiveDockInterior.lua: the script of Dive Dock Interior (room 49): a click
-- on the circuit board's panel opens the board; once its wires are joined
-- the panel stays mended, its lamps lit, and the lamps of the jetty behind the
-- dock burn.
rooms = rooms or {}
local room = roomScript("DiveDockInterior")

local function showPanel(self)
    self:sprite("CircuitPanel"):setFrame(LF.circuitBoardSolved and 1 or 0)
end
local enter = room.onEnter
function room.onEnter(self, n)
    enter(self, n)
    showPanel(self)
end

function room.onClick(self, x, y)
    if not LF.circuitBoardSolved and self:sprite("CircuitPanel"):hittest(x, y) then
        canvas:enterCircuitBoard()
    end
end

function room.setSolvedCircuitBoard(self)
    LF.circuitBoardSolved = true
    showPanel(self)
    LF_updateTasks()
    if self:getChapterNumber() == 5 then
        think("STR_THINK_CIRCUIT")
    end
end

function room.enterFromCircuitBoardNotSolved(self)
end

rooms["DiveDockInterior"] = room
