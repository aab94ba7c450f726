-- InnerWaterfall.lua: the script of Inner Waterfall (room 38).
rooms = rooms or {}
rooms["InnerWaterfall"] = roomScript("InnerWaterfall")
