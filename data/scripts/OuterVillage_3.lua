-- OuterVillage_3.lua: the script of Outer Village 3 (room 42).
rooms = rooms or {}

rooms["OuterVillage_3"] = {
    onEnter = function(self, n)
        LF_roomEntered("OuterVillage_3")
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
