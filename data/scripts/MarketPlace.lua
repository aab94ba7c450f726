-- MarketPlace.lua: the script of Market Place (room 2).
rooms = rooms or {}

rooms["MarketPlace"] = {
    onEnter = function(self, n)
        LF_roomEntered("MarketPlace")
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
