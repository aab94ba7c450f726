-- MansionGate.lua: the script of Mansion Gate (room 13).
rooms = rooms or {}
rooms["MansionGate"] = roomScript("MansionGate")
