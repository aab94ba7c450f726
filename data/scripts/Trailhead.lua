-- Trailhead.lua: the script of Trailhead (room 28).
rooms = rooms or {}

rooms["Trailhead"] = {
    onEnter = function(self, n)
        LF_roomEntered("Trailhead")
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
