-- WelcomeCenter.lua: the script of Welcome Center (room 26), where the park
-- ranger welcomes visitors to the island and tells where the caves' map is
-- and where its key is, until the map is taken; then where the caves lie.
-- He stands right of the middle, clear of the player's thoughts, his feet
-- above the way down to the landing. His words hang a little higher than
-- his forehead, clear of his hat.
rooms = rooms or {}
local function mapWord()
    return LF.bookshelfMapTaken and "STR_PARKRANGER_MAP_TAKEN" or "STR_PARKRANGER_3"
end
local function keyWord()
    return LF.bookshelfMapTaken and "STR_PARKRANGER_CAVES" or "STR_PARKRANGER_4"
end
rooms["WelcomeCenter"] = roomWithPeople("WelcomeCenter", {
    ParkRanger = {x = 420, y = 258, speaksFrom = {420, 242, "SE"}, "STR_PARKRANGER_1", mapWord, keyWord,
        "STR_PARKRANGER_2"},
})
