-- ArtRestoration.lua: the script of Art Restoration (room 19).
rooms = rooms or {}
rooms["ArtRestoration"] = roomScript("ArtRestoration")
