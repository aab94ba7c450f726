-- TavernInterior.lua: the script of Tavern Interior (room 11).
-- A treasure lies here: Cypher.
rooms = rooms or {}
rooms["TavernInterior"] = collectible(roomScript("TavernInterior"), "Cypher")
