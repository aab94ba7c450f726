-- OuterVillage_2.lua: the script of Outer Village 2 (room 41).
rooms = rooms or {}
rooms["OuterVillage_2"] = roomScript("OuterVillage_2")
