-- AirCompressor.lua: the script of Air Compressor (room 21).
rooms = rooms or {}

rooms["AirCompressor"] = {
    onEnter = function(self, n)
        LF_roomEntered("AirCompressor")
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
