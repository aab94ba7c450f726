-- DiveDockInterior.lua: the script of Dive Dock Interior (room 49): a click
-- on the circuit board's panel opens the board; once its wires are joined
-- the panel stays mended, and the lamps of the jetty behind the dock burn.
rooms = rooms or {}
local room = roomScript("DiveDockInterior")

function room.onClick(self, x, y)
    if not LF.circuitBoardSolved and self:sprite("CircuitPanel"):hittest(x, y) then
        canvas:enterCircuitBoard()
    end
end

function room.setSolvedCircuitBoard(self)
    LF.circuitBoardSolved = true
    LF_updateTasks()
    if self:getChapterNumber() == 5 then
        think("STR_THINK_CIRCUIT")
    end
end

function room.enterFromCircuitBoardNotSolved(self)
end

rooms["DiveDockInterior"] = room
