-- TavernInterior.lua: the script of Tavern Interior (room 11).
rooms = rooms or {}

rooms["TavernInterior"] = {
    onEnter = function(self, n)
        LF_roomEntered("TavernInterior")
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
