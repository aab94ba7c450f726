-- FountainCU.lua: the script of Fountain  close-up (room 7).
rooms = rooms or {}
rooms["FountainCU"] = roomScript("FountainCU")
