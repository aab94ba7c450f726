-- WindRace.lua: the script of Wind Race (room 56).
rooms = rooms or {}
rooms["WindRace"] = roomScript("WindRace")
