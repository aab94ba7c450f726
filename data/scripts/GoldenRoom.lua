-- GoldenRoom.lua: the script of Golden Room (room 63).
rooms = rooms or {}

rooms["GoldenRoom"] = {
    onEnter = function(self, n)
        LF_roomEntered("GoldenRoom")
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
