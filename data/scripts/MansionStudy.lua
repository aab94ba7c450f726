-- MansionStudy.lua: the script of Mansion Study (room 51), where the
-- millionaire keeps his secrets.
rooms = rooms or {}
rooms["MansionStudy"] = roomWithPeople("MansionStudy", {
    Millionaire = {x = 560, y = 242, "STR_MILLIONAIRE_1", "STR_MILLIONAIRE_2"},
})
