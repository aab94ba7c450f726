-- WindRace.lua: the script of Wind Race (room 56).
hv = hv or {}
hv.WindRace = hv.WindRace or {}
rooms = rooms or {}
rooms["WindRace"] = roomScript("WindRace")

-- The race: turn the green windsocks (a click turns one clockwise) so that
-- the boat sails from the start to the chequered flag. Off the grid, it
-- starts again. The win counts at once; the race says so while the boat
-- sails off, then goes back to the jetty, where the boat that ends the fifth
-- chapter waits, and the winner hears there that the race is won.
local race = rooms["WindRace"]
-- A race already won is sailed again only for the sailing's sake, and the
-- word line under the course says so until the boat leaves the start.
local enter = race.onEnter
race.onEnter = function(self, n)
    -- The word of a win is the jetty's: a game quit while the won race
    -- stood and started again here does not give it.
    if LF.arrivalTip == "STR_RACE_WON" then
        LF_tellOnArrival(nil)
    end
    enter(self, n)
    if LF.windRaceWon then
        self:sprite("RaceWord"):setText(hv.getResourceString("STR_RACE_WON_BEFORE"))
    end
end
race.winGameScene = function(self, n)
    LF.windRaceWon = true
    LF_updateTasks()
    canvas:playSound(SOUNDS.chime)
    LF_tellOnArrival("STR_RACE_WON")
end
race.loseScene = function(self, n)
    self:setState("reset")
end
race.gotoBehindDiveDock = function(self, n)
    self:moveToRoom("BehindDiveDock")
end
