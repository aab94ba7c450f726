-- Volcano.lua: the script of Volcano (room 36).
rooms = rooms or {}

rooms["Volcano"] = {
    onEnter = function(self, n)
        LF_roomEntered("Volcano")
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
