-- TavernInterior_Night.lua: the script of Tavern Interior at night (room 44).
rooms = rooms or {}
rooms["TavernInterior_Night"] = roomScript("TavernInterior_Night")
