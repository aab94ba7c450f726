-- GalleryInterior.lua: the script of Gallery Interior (room 12).
-- A treasure lies here: MansionGateCode.
rooms = rooms or {}
rooms["GalleryInterior"] = collectible(roomScript("GalleryInterior"), "MansionGateCode")
