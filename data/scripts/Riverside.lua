-- Riverside.lua: the script of Riverside (room 5).
rooms = rooms or {}
rooms["Riverside"] = roomScript("Riverside")
