-- Maze.lua: the script of Maze (room 20).
rooms = rooms or {}

rooms["Maze"] = {
    onEnter = function(self, n)
        LF_roomEntered("Maze")
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
