-- TempleDoorPuzzle.lua: the script of Temple Door Puzzle (room 61).
rooms = rooms or {}

rooms["TempleDoorPuzzle"] = {
    onEnter = function(self, n)
        LF_roomEntered("TempleDoorPuzzle")
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
