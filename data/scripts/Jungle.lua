-- Jungle.lua: the script of Jungle (room 29).
rooms = rooms or {}

rooms["Jungle"] = {
    onEnter = function(self, n)
        LF_roomEntered("Jungle")
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
