-- Lures.lua: the script of Lures (room 64).
rooms = rooms or {}

rooms["Lures"] = {
    onEnter = function(self, n)
        LF_roomEntered("Lures")
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
