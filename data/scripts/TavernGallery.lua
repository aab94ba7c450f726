-- TavernGallery.lua: the script of Tavern Gallery (room 10).
rooms = rooms or {}

rooms["TavernGallery"] = {
    onEnter = function(self, n)
        LF_roomEntered("TavernGallery")
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
