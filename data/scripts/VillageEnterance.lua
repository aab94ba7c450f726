-- VillageEnterance.lua: the script of Village Enterance (room 39).
rooms = rooms or {}

rooms["VillageEnterance"] = {
    onEnter = function(self, n)
        LF_roomEntered("VillageEnterance")
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
