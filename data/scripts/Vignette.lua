-- Vignette.lua: the script of Vignette (room 9).
rooms = rooms or {}
rooms["Vignette"] = roomScript("Vignette")

-- The sample tells only the first chapter's story.
rooms["Vignette"].onExit = function(self, n)
    LF_setVignetteSeen(1)
end
