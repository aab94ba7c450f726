-- MansionHallway.lua: the script of Mansion Hallway (room 50).
rooms = rooms or {}
rooms["MansionHallway"] = roomScript("MansionHallway")
