-- Vignette.lua: the script of Vignette (room 9), the chapters' slide shows;
-- the room marks a chapter's show seen when the player leaves it.
rooms = rooms or {}
rooms["Vignette"] = roomScript("Vignette")
