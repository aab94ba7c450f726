-- DiveDockInterior.lua: the script of Dive Dock Interior (room 49).
rooms = rooms or {}

rooms["DiveDockInterior"] = {
    onEnter = function(self, n)
        LF_roomEntered("DiveDockInterior")
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
