-- Concentration.lua: the script of Concentration (room 17), the card memory
-- game, and the table of its class, hv.Concentration. The end of a game is
-- told in the message at the top right: a lost one is dealt again, a won
-- one stays on the table with the way out open until the player leaves. The
-- first game won brings the card player's trophy, which the gallery owner
-- asks to see before she lets anyone at her paintings.
hv = hv or {}
hv.Concentration = hv.Concentration or {}
rooms = rooms or {}
rooms["Concentration"] = roomScript("Concentration")

local room = rooms["Concentration"]
local function tell(id)
    inventory:setRoomItemTip(id, -1, true)
end
function room.winGameScene(self, n)
    -- The game closes its Leave button at its end; the won game is left by it.
    self:sprite("CloseButton"):enable(true)
    if not LF.concentrationWon then
        LF.concentrationWon = true
        LF_giveItem("ConcentrationTrophy")
        tell("STR_CARDS_WON_TROPHY")
    else
        tell("STR_CARDS_WON")
    end
end
function room.loseGameScene(self, n)
    tell("STR_CARDS_LOST")
    self:setState("endround")
end
function room.tieGameScene(self, n)
    tell("STR_CARDS_TIED")
    self:setState("endround")
end
