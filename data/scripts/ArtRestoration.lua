-- ArtRestoration.lua: the script of Art Restoration (room 19).
rooms = rooms or {}

rooms["ArtRestoration"] = {
    onEnter = function(self, n)
        LF_roomEntered("ArtRestoration")
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
