-- HedgeMazeFront_Night.lua: the script of Hedge Maze Front at night (room 47).
rooms = rooms or {}

rooms["HedgeMazeFront_Night"] = {
    onEnter = function(self, n)
        LF_roomEntered("HedgeMazeFront_Night")
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
