-- MarketPlace.lua: the script of Market Place (room 2).
rooms = rooms or {}
rooms["MarketPlace"] = roomScript("MarketPlace")
