-- TavernGallery.lua: the script of Tavern Gallery (room 10).
-- A treasure lies here: ConcentrationTrophy.
rooms = rooms or {}
rooms["TavernGallery"] = collectible(roomScript("TavernGallery"), "ConcentrationTrophy")
