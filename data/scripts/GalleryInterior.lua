-- GalleryInterior.lua: the script of Gallery Interior (room 12).
rooms = rooms or {}

rooms["GalleryInterior"] = {
    onEnter = function(self, n)
        LF_roomEntered("GalleryInterior")
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
