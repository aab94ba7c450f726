-- WindRace.lua: the script of Wind Race (room 56).
hv = hv or {}
hv.WindRace = hv.WindRace or {}
rooms = rooms or {}
rooms["WindRace"] = roomScript("WindRace")

-- The race: turn the green windsocks (a click turns one clockwise) so that
-- the boat sails from the start to the chequered flag. Off the grid, it
-- starts again. In the fifth chapter the winner goes back to the jetty,
-- where the boat that ends the chapter waits, and the way on to the island
-- stays shut; later the winner sails on to the island.
local race = rooms["WindRace"]
local enterRace = race.onEnter
race.onEnter = function(self, n)
    enterRace(self, n)
    self:enableDoor("IslandLanding", self:getChapterNumber() ~= 5)
end
race.winGameScene = function(self, n)
    LF.windRaceWon = true
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
