-- Riverside.lua: the script of Riverside (room 5): the player listens to
-- the river on the first visit.
rooms = rooms or {}
rooms["Riverside"] = roomWithPeople("Riverside", {}, "STR_THINK_RIVERSIDE")
