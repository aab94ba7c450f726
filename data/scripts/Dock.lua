-- Dock.lua: the script of Dock (room 0).
rooms = rooms or {}

rooms["Dock"] = {
    onEnter = function(self, n)
        LF_roomEntered("Dock")
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
