-- Temple3.lua: the script of Temple3 (room 60).
rooms = rooms or {}
rooms["Temple3"] = roomScript("Temple3")
