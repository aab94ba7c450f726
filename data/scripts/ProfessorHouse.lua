-- ProfessorHouse.lua: the script of Professor House (room 1).
rooms = rooms or {}

rooms["ProfessorHouse"] = {
    onEnter = function(self, n)
        LF_roomEntered("ProfessorHouse")
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
