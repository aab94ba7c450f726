-- Temple2.lua: the script of Temple2 (room 59).
rooms = rooms or {}
rooms["Temple2"] = roomScript("Temple2")
