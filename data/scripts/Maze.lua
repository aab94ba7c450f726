-- Maze.lua: the script of Maze (room 20).
rooms = rooms or {}
rooms["Maze"] = roomScript("Maze")
