-- TavernInterior.lua: the script of Tavern Interior (room 11).
rooms = rooms or {}
rooms["TavernInterior"] = roomScript("TavernInterior")
