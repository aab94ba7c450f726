-- TavernInterior_Night.lua: the script of Tavern Interior at night (room 44):
-- the card shark at his table, by the door to his board game, who knows the
-- mansion door's code and gives it to whoever beats him there.
-- A treasure lies here: RiddleCoaster, whose riddle the player reads out on
-- taking it.
rooms = rooms or {}
-- He stands where he sits by day; his words hang a little higher than his
-- forehead, clear of his hat. Once beaten he only says he has paid.
rooms["TavernInterior_Night"] = collectible(roomWithPeople("TavernInterior_Night", {
    CardShark = {x = 660, y = 282, speaksFrom = {660, 266, "SE"}, function()
        return LF.ticTacSolved and "STR_CARDSHARK_NIGHT_PAID" or "STR_CARDSHARK_NIGHT_1"
    end, function()
        return LF.ticTacSolved and "STR_CARDSHARK_NIGHT_PAID" or "STR_CARDSHARK_NIGHT_2"
    end},
}), "RiddleCoaster", function(self)
    think("STR_THINK_RIDDLE_COASTER")
end)
