-- CaveEntrance.lua: the script of Cave Entrance (room 30): going into the
-- cave always starts in the maze's first chamber.
rooms = rooms or {}
local room = roomScript("CaveEntrance")
local entered = room.onEnter
room.onEnter = function(self, n)
    entered(self, n)
    LF.caveMazeScreen = 22
end
rooms["CaveEntrance"] = room
