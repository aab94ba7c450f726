-- TavernGallery.lua: the script of Tavern Gallery (room 10).
rooms = rooms or {}
rooms["TavernGallery"] = roomScript("TavernGallery")
