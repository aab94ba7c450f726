-- TempleDoorPuzzle.lua: the script of Temple Door Puzzle (room 61).
rooms = rooms or {}
rooms["TempleDoorPuzzle"] = roomScript("TempleDoorPuzzle")
