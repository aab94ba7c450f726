-- InnerWaterfall.lua: the script of Inner Waterfall (room 38).
-- A treasure lies here: Peg_3.
rooms = rooms or {}
rooms["InnerWaterfall"] = collectible(roomScript("InnerWaterfall"), "Peg_3", "STR_THINK_FOUND_PEG_3")
