-- TavernGallery_Night.lua: the script of Tavern Gallery at night (room 48).
rooms = rooms or {}

rooms["TavernGallery_Night"] = {
    onEnter = function(self, n)
        LF_roomEntered("TavernGallery_Night")
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
