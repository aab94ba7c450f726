-- FountainCU.lua: the script of Fountain  close-up (room 7).
rooms = rooms or {}

rooms["FountainCU"] = {
    onEnter = function(self, n)
        LF_roomEntered("FountainCU")
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
