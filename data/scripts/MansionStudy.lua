-- MansionStudy.lua: the script of Mansion Study (room 51).
rooms = rooms or {}
rooms["MansionStudy"] = roomScript("MansionStudy")
