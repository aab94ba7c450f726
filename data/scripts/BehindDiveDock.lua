-- BehindDiveDock.lua: the script of Behind Dive Dock (room 55).
rooms = rooms or {}

rooms["BehindDiveDock"] = {
    onEnter = function(self, n)
        LF_roomEntered("BehindDiveDock")
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
