-- LevelComplete.lua: the script of Level Complete (room 23).
rooms = rooms or {}

rooms["LevelComplete"] = {
    onEnter = function(self, n)
        LF_roomEntered("LevelComplete")
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
