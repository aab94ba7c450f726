-- Landing.lua: the script of Landing (room 25).
-- A treasure lies here: Gem_1.
rooms = rooms or {}
rooms["Landing"] = collectible(roomScript("Landing"), "Gem_1")
