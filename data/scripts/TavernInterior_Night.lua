-- TavernInterior_Night.lua: the script of Tavern Interior at night (room 44).
rooms = rooms or {}

rooms["TavernInterior_Night"] = {
    onEnter = function(self, n)
        LF_roomEntered("TavernInterior_Night")
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
