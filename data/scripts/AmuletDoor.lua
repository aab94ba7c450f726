-- AmuletDoor.lua: the script of Amulet Door (room 62).
rooms = rooms or {}

rooms["AmuletDoor"] = {
    onEnter = function(self, n)
        LF_roomEntered("AmuletDoor")
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
