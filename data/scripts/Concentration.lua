-- Concentration.lua: the script of Concentration (room 17).
rooms = rooms or {}

rooms["Concentration"] = {
    onEnter = function(self, n)
        LF_roomEntered("Concentration")
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
