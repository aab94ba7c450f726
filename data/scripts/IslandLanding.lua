-- IslandLanding.lua: the script of Island Landing (room 57).
rooms = rooms or {}

rooms["IslandLanding"] = {
    onEnter = function(self, n)
        LF_roomEntered("IslandLanding")
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
