-- ProfessorHouse.lua: the script of Professor House (room 1).
rooms = rooms or {}
rooms["ProfessorHouse"] = roomScript("ProfessorHouse")
