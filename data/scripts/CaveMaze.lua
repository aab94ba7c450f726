-- CaveMaze.lua: the script of Cave Maze (room 31).
rooms = rooms or {}

rooms["CaveMaze"] = {
    onEnter = function(self, n)
        LF_roomEntered("CaveMaze")
    end,
    onExit = function(self, n)
    end,
    onClick = function(self, x, y)
    end,
    onUse = function(self, x, y)
    end,
    resetGlobalItems = function(self, n)
    end,
}
