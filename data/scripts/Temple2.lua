-- Temple2.lua: the script of Temple2 (room 59).
rooms = rooms or {}

rooms["Temple2"] = {
    onEnter = function(self, n)
        LF_roomEntered("Temple2")
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
