-- InnerWaterfall.lua: the script of Inner Waterfall (room 38).
rooms = rooms or {}

rooms["InnerWaterfall"] = {
    onEnter = function(self, n)
        LF_roomEntered("InnerWaterfall")
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
