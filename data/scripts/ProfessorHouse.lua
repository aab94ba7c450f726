-- ProfessorHouse.lua: the script of Professor House (room 1), where the
-- professor receives visitors.
rooms = rooms or {}
rooms["ProfessorHouse"] = roomWithPeople("ProfessorHouse", {
    Professor = {x = 520, y = 302, "STR_PROFESSOR_1", "STR_PROFESSOR_2", "STR_PROFESSOR_3"},
})
