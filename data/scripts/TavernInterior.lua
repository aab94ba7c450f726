-- TavernInterior.lua: the script of Tavern Interior (room 11): the barkeeper
-- behind his bar and the card player at his table.
-- A treasure lies here: a cypher wheel, another than the one the first
-- chapter's chest gave, which the player left with the professor.
rooms = rooms or {}
-- The barkeeper's warning about the card player gives way to wonder once
-- the player has beaten him, and the card player's invitation to his game
-- to the words of a beaten man. The card player's words hang a little
-- higher than his forehead, clear of his hat.
rooms["TavernInterior"] = collectible(roomWithPeople("TavernInterior", {
    -- Back by the wall, above where the player's figure shows in a thought.
    Barkeeper = {x = 60, y = 160, "STR_BARKEEPER_1", function()
        return LF.concentrationWon and "STR_BARKEEPER_WON" or "STR_BARKEEPER_2"
    end},
    CardShark = {x = 660, y = 282, speaksFrom = {660, 266, "SE"}, function()
        return LF.concentrationWon and "STR_CARDSHARK_WON_1" or "STR_CARDSHARK_1"
    end, function()
        return LF.concentrationWon and "STR_CARDSHARK_WON_2" or "STR_CARDSHARK_2"
    end},
}), "Cypher", function(self)
    think("STR_THINK_CYPHER")
end)
