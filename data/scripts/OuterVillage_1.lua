-- OuterVillage_1.lua: the script of Outer Village 1 (room 40).
rooms = rooms or {}

rooms["OuterVillage_1"] = {
    onEnter = function(self, n)
        LF_roomEntered("OuterVillage_1")
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
