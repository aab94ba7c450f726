-- HedgeMazeFront.lua: the script of Hedge Maze Front (room 15).
rooms = rooms or {}

rooms["HedgeMazeFront"] = {
    onEnter = function(self, n)
        LF_roomEntered("HedgeMazeFront")
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
