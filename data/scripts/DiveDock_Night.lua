-- DiveDock_Night.lua: the script of Dive Dock at night (room 45).
rooms = rooms or {}
rooms["DiveDock_Night"] = roomScript("DiveDock_Night")
