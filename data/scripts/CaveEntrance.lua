-- CaveEntrance.lua: the script of Cave Entrance (room 30).
rooms = rooms or {}

rooms["CaveEntrance"] = {
    onEnter = function(self, n)
        LF_roomEntered("CaveEntrance")
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
