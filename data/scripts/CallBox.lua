-- CallBox.lua: the script of Call Box (room 22).
rooms = rooms or {}

rooms["CallBox"] = {
    onEnter = function(self, n)
        LF_roomEntered("CallBox")
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
