-- Trailhead.lua: the script of Trailhead (room 28), the path from the landing
-- up to the jungle.
rooms = rooms or {}
rooms["Trailhead"] = roomScript("Trailhead")
