-- GalleryInterior.lua: the script of Gallery Interior (room 12).
rooms = rooms or {}
rooms["GalleryInterior"] = roomScript("GalleryInterior")
