-- MansionGate_Night.lua: the script of Mansion Gate at night (room 46).
rooms = rooms or {}

rooms["MansionGate_Night"] = {
    onEnter = function(self, n)
        LF_roomEntered("MansionGate_Night")
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
