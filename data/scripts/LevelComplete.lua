-- LevelComplete.lua: the script of Level Complete (room 23).
rooms = rooms or {}
rooms["LevelComplete"] = roomScript("LevelComplete")
