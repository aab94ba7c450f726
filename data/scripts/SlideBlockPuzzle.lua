-- SlideBlockPuzzle.lua: the script of Slide Block Puzzle (room 8).
rooms = rooms or {}

rooms["SlideBlockPuzzle"] = {
    onEnter = function(self, n)
        LF_roomEntered("SlideBlockPuzzle")
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
