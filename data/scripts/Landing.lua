-- Landing.lua: the script of Landing (room 25).
rooms = rooms or {}

rooms["Landing"] = {
    onEnter = function(self, n)
        LF_roomEntered("Landing")
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
