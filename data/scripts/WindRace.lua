-- WindRace.lua: the script of Wind Race (room 56).
hv = hv or {}
hv.WindRace = hv.WindRace or {}
rooms = rooms or {}
rooms["WindRace"] = roomScript("WindRace")

-- The race: turn the green windsocks (a click turns one clockwise) so that
-- the boat sails from the start to the chequered flag. Off the grid, it
-- starts again.
local race = rooms["WindRace"]
race.winGameScene = function(self, n)
    LF.windRaceWon = true
    self:moveToRoom("IslandLanding")
end
race.loseScene = function(self, n)
    self:setState("reset")
end
race.gotoBehindDiveDock = function(self, n)
    self:moveToRoom("BehindDiveDock")
end
