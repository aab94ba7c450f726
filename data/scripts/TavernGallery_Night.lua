-- TavernGallery_Night.lua: the script of Tavern Gallery at night (room 48).
rooms = rooms or {}
rooms["TavernGallery_Night"] = roomScript("TavernGallery_Night")
