-- DiveDockInterior.lua: the script of Dive Dock Interior (room 49).
rooms = rooms or {}
rooms["DiveDockInterior"] = roomScript("DiveDockInterior")
