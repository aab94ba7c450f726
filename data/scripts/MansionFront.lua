-- MansionFront.lua: the script of Mansion Front (room 16).
rooms = rooms or {}
rooms["MansionFront"] = roomScript("MansionFront")
