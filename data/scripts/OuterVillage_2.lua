-- OuterVillage_2.lua: the script of Outer Village 2 (room 41).
rooms = rooms or {}

rooms["OuterVillage_2"] = {
    onEnter = function(self, n)
        LF_roomEntered("OuterVillage_2")
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
