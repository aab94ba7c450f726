-- Temple3.lua: the script of Temple3 (room 60).
rooms = rooms or {}

rooms["Temple3"] = {
    onEnter = function(self, n)
        LF_roomEntered("Temple3")
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
