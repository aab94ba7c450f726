-- MansionFront.lua: the script of Mansion Front (room 16).
rooms = rooms or {}

rooms["MansionFront"] = {
    onEnter = function(self, n)
        LF_roomEntered("MansionFront")
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
