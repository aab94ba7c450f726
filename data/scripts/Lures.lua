-- Lures.lua: the script of Lures (room 64).
rooms = rooms or {}
rooms["Lures"] = roomScript("Lures")
