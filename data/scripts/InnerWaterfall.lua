-- InnerWaterfall.lua: the script of Inner Waterfall (room 38).
-- A treasure lies here: Peg_3.
rooms = rooms or {}
rooms["InnerWaterfall"] = collectible(roomScript("InnerWaterfall"), "Peg_3")
