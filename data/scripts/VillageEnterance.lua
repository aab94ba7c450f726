-- VillageEnterance.lua: the script of Village Enterance (room 39).
rooms = rooms or {}
rooms["VillageEnterance"] = roomScript("VillageEnterance")
