-- DiveDock.lua: the script of Dive Dock (room 14).
rooms = rooms or {}

rooms["DiveDock"] = {
    onEnter = function(self, n)
        LF_roomEntered("DiveDock")
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
