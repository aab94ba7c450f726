-- VillageEnterance.lua: the script of Village Enterance (room 39).
-- A treasure lies here: Peg_1.
rooms = rooms or {}
rooms["VillageEnterance"] = collectible(roomScript("VillageEnterance"), "Peg_1", "STR_THINK_FOUND_PEG_1")
