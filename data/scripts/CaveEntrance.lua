-- CaveEntrance.lua: the script of Cave Entrance (room 30).
rooms = rooms or {}
rooms["CaveEntrance"] = roomScript("CaveEntrance")
