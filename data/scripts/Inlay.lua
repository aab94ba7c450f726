-- Inlay.lua: the script of Inlay (room 34).
rooms = rooms or {}
rooms["Inlay"] = roomScript("Inlay")
