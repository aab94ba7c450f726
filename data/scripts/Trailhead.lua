-- Trailhead.lua: the script of Trailhead (room 28).
rooms = rooms or {}
rooms["Trailhead"] = roomScript("Trailhead")
