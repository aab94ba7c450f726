-- Temple1.lua: the script of Temple1 (room 58).
rooms = rooms or {}
rooms["Temple1"] = roomScript("Temple1")
