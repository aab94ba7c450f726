-- MansionHallway.lua: the script of Mansion Hallway (room 50).
-- A treasure lies here: ViewFinderSolution.
rooms = rooms or {}
rooms["MansionHallway"] = collectible(roomScript("MansionHallway"), "ViewFinderSolution")
