-- IslandLanding.lua: the script of Island Landing (room 57).
rooms = rooms or {}
rooms["IslandLanding"] = roomScript("IslandLanding")
