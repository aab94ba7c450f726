-- Concentration.lua: the script of Concentration (room 17).
rooms = rooms or {}
rooms["Concentration"] = roomScript("Concentration")
