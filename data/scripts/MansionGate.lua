-- MansionGate.lua: the script of Mansion Gate (room 13).
rooms = rooms or {}

rooms["MansionGate"] = {
    onEnter = function(self, n)
        LF_roomEntered("MansionGate")
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
