-- OuterSanctum.lua: the script of Outer Sanctum (room 35).
rooms = rooms or {}

rooms["OuterSanctum"] = {
    onEnter = function(self, n)
        LF_roomEntered("OuterSanctum")
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
