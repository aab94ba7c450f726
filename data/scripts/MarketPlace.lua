-- MarketPlace.lua: the script of Market Place (room 2): the player wonders
-- at the lanterns on the first visit.
rooms = rooms or {}
rooms["MarketPlace"] = roomWithPeople("MarketPlace", {}, "STR_THINK_MARKETPLACE")
