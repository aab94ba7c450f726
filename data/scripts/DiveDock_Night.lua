-- DiveDock_Night.lua: the script of Dive Dock at night (room 45).
rooms = rooms or {}

rooms["DiveDock_Night"] = {
    onEnter = function(self, n)
        LF_roomEntered("DiveDock_Night")
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
