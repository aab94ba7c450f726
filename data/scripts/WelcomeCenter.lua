-- WelcomeCenter.lua: the script of Welcome Center (room 26).
rooms = rooms or {}

rooms["WelcomeCenter"] = {
    onEnter = function(self, n)
        LF_roomEntered("WelcomeCenter")
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
