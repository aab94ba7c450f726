-- WindRace.lua: the script of Wind Race (room 56).
rooms = rooms or {}

rooms["WindRace"] = {
    onEnter = function(self, n)
        LF_roomEntered("WindRace")
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
