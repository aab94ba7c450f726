-- Waterfall.lua: the script of Waterfall (room 37).
-- A treasure lies here: Peg_2.
rooms = rooms or {}
rooms["Waterfall"] = collectible(roomScript("Waterfall"), "Peg_2")
