-- Bridge.lua: the script of Bridge (room 32).
rooms = rooms or {}

rooms["Bridge"] = {
    onEnter = function(self, n)
        LF_roomEntered("Bridge")
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
