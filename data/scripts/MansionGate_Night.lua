-- MansionGate_Night.lua: the script of Mansion Gate at night (room 46).
rooms = rooms or {}
rooms["MansionGate_Night"] = roomScript("MansionGate_Night")
