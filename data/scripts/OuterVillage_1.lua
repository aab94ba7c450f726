-- OuterVillage_1.lua: the script of Outer Village 1 (room 40).
rooms = rooms or {}
rooms["OuterVillage_1"] = roomScript("OuterVillage_1")
