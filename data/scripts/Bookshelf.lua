-- Bookshelf.lua: the script of Bookshelf (room 27).
rooms = rooms or {}

rooms["Bookshelf"] = {
    onEnter = function(self, n)
        LF_roomEntered("Bookshelf")
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
