-- Bookshelf.lua: the script of Bookshelf (room 27).
rooms = rooms or {}
rooms["Bookshelf"] = roomScript("Bookshelf")
