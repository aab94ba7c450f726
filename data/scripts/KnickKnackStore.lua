-- KnickKnackStore.lua: the script of Knick Knack Store (room 4).
rooms = rooms or {}

rooms["KnickKnackStore"] = {
    onEnter = function(self, n)
        LF_roomEntered("KnickKnackStore")
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
