-- InnerSanctum.lua: the script of Inner Sanctum (room 33).
rooms = rooms or {}

rooms["InnerSanctum"] = {
    onEnter = function(self, n)
        LF_roomEntered("InnerSanctum")
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
