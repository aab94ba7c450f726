-- WhackAClam.lua: the script of Whack AClam (room 18).
rooms = rooms or {}

rooms["WhackAClam"] = {
    onEnter = function(self, n)
        LF_roomEntered("WhackAClam")
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
