-- WindRace.lua: the script of Wind Race (room 56).
hv = hv or {}
hv.WindRace = hv.WindRace or {}
rooms = rooms or {}
rooms["WindRace"] = roomScript("WindRace")

-- The race: turn the green windsocks (a click turns one clockwise) so that
-- the boat sails from the start to the chequered flag. Off the grid, it
-- starts again. In the fifth chapter the winner goes back to the jetty,
-- where the boat that ends the chapter waits; the way on to the island is
-- one of the ways the story keeps shut (Lanternfield.lua).
local race = rooms["WindRace"]
race.winGameScene = function(self, n)
    LF.windRaceWon = true
    LF_updateTasks()
    if self:getChapterNumber() == 5 then
        self:moveToRoom("BehindDiveDock")
    else
        self:moveToRoom("IslandLanding")
    end
end
race.loseScene = function(self, n)
    self:setState("reset")
end
race.gotoBehindDiveDock = function(self, n)
    self:moveToRoom("BehindDiveDock")
end
