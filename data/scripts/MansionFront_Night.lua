-- MansionFront_Night.lua: the script of Mansion Front at night (room 43).
rooms = rooms or {}
rooms["MansionFront_Night"] = roomScript("MansionFront_Night")
