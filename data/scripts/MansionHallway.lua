-- MansionHallway.lua: the script of Mansion Hallway (room 50).
rooms = rooms or {}

rooms["MansionHallway"] = {
    onEnter = function(self, n)
        LF_roomEntered("MansionHallway")
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
