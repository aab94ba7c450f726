-- WelcomeCenter.lua: the script of Welcome Center (room 26), where the park
-- ranger welcomes visitors to the island and tells where the caves' map is.
-- A treasure lies here: Gem_2.
rooms = rooms or {}
rooms["WelcomeCenter"] = collectible(roomWithPeople("WelcomeCenter", {
    ParkRanger = {x = 200, y = 302, "STR_PARKRANGER_1", "STR_PARKRANGER_3", "STR_PARKRANGER_2"},
}), "Gem_2")
