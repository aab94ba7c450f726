-- Volcano.lua: the script of Volcano (room 36).
rooms = rooms or {}
rooms["Volcano"] = roomScript("Volcano")
