-- Concentration.lua: the script of Concentration (room 17), the card memory
-- game, and the table of its class, hv.Concentration. A lost or tied game is
-- dealt again; a won one stays on the table until the player leaves. The
-- first game won brings the card player's trophy, which the gallery owner
-- asks to see before she lets anyone at her paintings.
hv = hv or {}
hv.Concentration = hv.Concentration or {}
rooms = rooms or {}
rooms["Concentration"] = roomScript("Concentration")

local room = rooms["Concentration"]
function room.winGameScene(self, n)
    if not LF.concentrationWon then
        LF.concentrationWon = true
        LF_findItem("ConcentrationTrophy")
    end
end
function room.loseGameScene(self, n)
    self:setState("endround")
end
function room.tieGameScene(self, n)
    self:setState("endround")
end
