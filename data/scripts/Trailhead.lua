-- Trailhead.lua: the script of Trailhead (room 28).
-- A treasure lies here: Gem_3.
rooms = rooms or {}
rooms["Trailhead"] = collectible(roomScript("Trailhead"), "Gem_3")
