-- TavernInterior_Night.lua: the script of Tavern Interior at night (room 44).
-- A treasure lies here: RiddleCoaster, whose riddle the player reads out on
-- taking it.
rooms = rooms or {}
rooms["TavernInterior_Night"] = collectible(roomScript("TavernInterior_Night"), "RiddleCoaster", function(self)
    think("STR_THINK_RIDDLE_COASTER")
end)
