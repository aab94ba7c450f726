-- Bridge.lua: the script of Bridge (room 32).
rooms = rooms or {}
rooms["Bridge"] = roomScript("Bridge")
