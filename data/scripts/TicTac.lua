-- TicTac.lua: the script of Tic Tac (room 52).
rooms = rooms or {}

rooms["TicTac"] = {
    onEnter = function(self, n)
        LF_roomEntered("TicTac")
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
