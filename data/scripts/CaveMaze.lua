-- CaveMaze.lua: the script of Cave Maze (room 31).
rooms = rooms or {}
rooms["CaveMaze"] = roomScript("CaveMaze")
