-- Jungle.lua: the script of Jungle (room 29).
rooms = rooms or {}
rooms["Jungle"] = roomScript("Jungle")
