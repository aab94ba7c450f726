-- MansionStudy.lua: the script of Mansion Study (room 51).
rooms = rooms or {}

rooms["MansionStudy"] = {
    onEnter = function(self, n)
        LF_roomEntered("MansionStudy")
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
