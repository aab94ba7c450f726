-- Inlay.lua: the script of Inlay (room 34).
rooms = rooms or {}

rooms["Inlay"] = {
    onEnter = function(self, n)
        LF_roomEntered("Inlay")
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
