-- Waterfall.lua: the script of Waterfall (room 37).
rooms = rooms or {}
rooms["Waterfall"] = roomScript("Waterfall")
