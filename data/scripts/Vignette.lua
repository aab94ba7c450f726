-- Vignette.lua: the script of Vignette (room 9).
rooms = rooms or {}

rooms["Vignette"] = {
    onEnter = function(self, n)
        LF_roomEntered("Vignette")
    end,
    onExit = function(self, n)
        -- The sample tells only the first chapter's story.
        LF_setVignetteSeen(1)
    end,
    onClick = function(self, x, y)
    end,
    onUse = function(self, x, y)
    end,
    resetGlobalItems = function(self, n)
    end,
}
