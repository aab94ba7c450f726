-- Riverside.lua: the script of Riverside (room 5).
rooms = rooms or {}

rooms["Riverside"] = {
    onEnter = function(self, n)
        LF_roomEntered("Riverside")
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
