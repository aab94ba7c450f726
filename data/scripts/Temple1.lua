-- Temple1.lua: the script of Temple1 (room 58).
rooms = rooms or {}

rooms["Temple1"] = {
    onEnter = function(self, n)
        LF_roomEntered("Temple1")
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
