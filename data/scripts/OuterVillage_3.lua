-- OuterVillage_3.lua: the script of Outer Village 3 (room 42).
rooms = rooms or {}
rooms["OuterVillage_3"] = roomScript("OuterVillage_3")
