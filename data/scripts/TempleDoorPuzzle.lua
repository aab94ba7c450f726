-- TempleDoorPuzzle.lua: the script of the Temple Door Puzzle (room 61). The
-- first board opens the outer bolt and brings the second; the second opens
-- the door: the solved board stands a while with the line saying so, and the
-- player is back in front of the door, where that is told. The
-- line under the board says which of the two locks is played, and that the
-- first one opened; a stone pulled where it cannot go says so there until
-- the next stone moves.
rooms = rooms or {}
rooms["TempleDoorPuzzle"] = roomScript("TempleDoorPuzzle")

local room = rooms["TempleDoorPuzzle"]
-- How long the opened lock stands before the hall: some two seconds.
local OPEN_FRAMES = 50
-- The line says a stone could not go the way it was pulled.
local blocked = false
local function say(self, id)
    self:sprite("Status"):setText(hv.getResourceString(id))
end
local function sayLock(self)
    blocked = false
    say(self, LF.templeDoorBoard == 0 and "STR_TEMPLE_DOOR_LOCK_1" or "STR_TEMPLE_DOOR_LOCK_2")
end
local entered = room.onEnter
room.onEnter = function(self, n)
    entered(self, n)
    canvas:setupTempleDoorPuzzle(LF.templeDoorBoard)
    sayLock(self)
    -- Left (the game closed) while the opened lock stood: it stands again
    -- with its line, then the hall comes.
    if LF.templeDoorOpened then
        say(self, "STR_TEMPLE_DOOR_OPEN")
        self:moveToRoomAfter("Temple2", OPEN_FRAMES)
    end
end
function room.cannotMove(self, n)
    blocked = true
    say(self, "STR_TEMPLE_DOOR_BLOCKED")
end
function room.stoneMoved(self, n)
    if blocked then
        sayLock(self)
    end
end
function room.winGameScene(self, n)
    blocked = false
    canvas:playSound(SOUNDS.chime)
    if n == 0 then
        LF.templeDoorBoard = 1
        canvas:setupTempleDoorPuzzle(1)
        say(self, "STR_TEMPLE_DOOR_NEXT")
    else
        LF.templeDoorOpened = true
        LF_updateTasks()
        LF_tellOnArrival("STR_TEMPLE_DOOR_OPEN")
        say(self, "STR_TEMPLE_DOOR_OPEN")
        self:moveToRoomAfter("Temple2", OPEN_FRAMES)
    end
end
function room.exitToTempleRoom(self, n)
    self:moveToRoom("Temple2")
end
