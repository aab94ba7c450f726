-- TempleDoorPuzzle.lua: the script of the Temple Door Puzzle (room 61). The
-- first board opens the outer bolt and brings the second; the second opens
-- the door, and the player is back in front of it.
rooms = rooms or {}
rooms["TempleDoorPuzzle"] = roomScript("TempleDoorPuzzle")

local room = rooms["TempleDoorPuzzle"]
local entered = room.onEnter
room.onEnter = function(self, n)
    entered(self, n)
    canvas:setupTempleDoorPuzzle(LF.templeDoorBoard)
end
function room.winGameScene(self, n)
    canvas:playSound(SOUNDS.chime)
    if n == 0 then
        LF.templeDoorBoard = 1
        canvas:setupTempleDoorPuzzle(1)
    else
        LF.templeDoorOpened = true
        LF_updateTasks()
        self:moveToRoom("Temple2")
    end
end
function room.exitToTempleRoom(self, n)
    self:moveToRoom("Temple2")
end
