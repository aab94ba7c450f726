-- BehindDiveDock.lua: the script of Behind Dive Dock (room 55), the jetty
-- where the wind race starts. The fifth chapter ends here: once the race is
-- won, the winner's sailing boat waits at the jetty, and boarding it ends
-- the chapter.
-- A treasure lies here: AirTank.
rooms = rooms or {}
local jetty = collectible(roomScript("BehindDiveDock"), "AirTank")
chapterEndsOn(jetty, 5, "RaceBoat", function(self)
    return LF.windRaceWon
end)
rooms["BehindDiveDock"] = jetty
