-- GoldenRoom.lua: the script of Golden Room (room 63).
rooms = rooms or {}
rooms["GoldenRoom"] = roomScript("GoldenRoom")
