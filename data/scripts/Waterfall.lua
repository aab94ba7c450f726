-- Waterfall.lua: the script of Waterfall (room 37).
rooms = rooms or {}

rooms["Waterfall"] = {
    onEnter = function(self, n)
        LF_roomEntered("Waterfall")
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
