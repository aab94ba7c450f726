-- TreasureChestCU.lua: the script of Treasure Chest  close-up (room 6).
rooms = rooms or {}

rooms["TreasureChestCU"] = {
    onEnter = function(self, n)
        LF_roomEntered("TreasureChestCU")
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
