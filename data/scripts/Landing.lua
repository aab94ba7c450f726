-- Landing.lua: the script of Landing (room 25), where the boat leaves the
-- player on the island; the player thinks of the welcome centre on the first
-- visit.
-- A treasure lies here: Gem_1.
rooms = rooms or {}
rooms["Landing"] = collectible(roomWithPeople("Landing", {}, "STR_THINK_LANDING"), "Gem_1")
