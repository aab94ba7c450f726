-- TavernInterior_Night.lua: the script of Tavern Interior at night (room 44).
-- A treasure lies here: RiddleCoaster.
rooms = rooms or {}
rooms["TavernInterior_Night"] = collectible(roomScript("TavernInterior_Night"), "RiddleCoaster")
