-- MansionHallway.lua: the script of Mansion Hallway (room 50): a ghost's
-- voice greets whoever walks in at night.
-- A treasure lies here: ViewFinderSolution.
rooms = rooms or {}
rooms["MansionHallway"] = collectible(roomWithPeople("MansionHallway", {
    Ghost = {x = 600, y = 150, voice = true, balloon = "NE", "STR_GHOST_1", "STR_GHOST_2"},
}), "ViewFinderSolution")
