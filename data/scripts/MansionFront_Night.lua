-- MansionFront_Night.lua: the script of Mansion Front at night (room 43).
rooms = rooms or {}

rooms["MansionFront_Night"] = {
    onEnter = function(self, n)
        LF_roomEntered("MansionFront_Night")
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
