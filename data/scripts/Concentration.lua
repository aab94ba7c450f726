-- Concentration.lua: the script of Concentration (room 17), the card memory
-- game, and the table of its class, hv.Concentration. The end of a game is
-- told in the message at the top right: a lost or tied one is dealt again; a
-- won one ends the game, which leads back to the tavern, where the win is
-- told (so that a game saved after it starts in the tavern, never inside a
-- fresh deal). The first game won brings the card player's trophy, which the
-- gallery owner asks to see before he lets anyone at his paintings. A click
-- on the table while the card player is on turn is told to wait, until "You"
-- lights. The card player's turn is told as it goes: a pair he takes keeps
-- his turn, a miss hands it back to the player, whose next card clears the
-- word. A game opened again once won says the card player is beaten
-- already. After a lost game the card player plays weak until he is beaten.
hv = hv or {}
hv.Concentration = hv.Concentration or {}
rooms = rooms or {}
rooms["Concentration"] = roomScript("Concentration")

local room = rooms["Concentration"]
local function tell(id)
    inventory:setRoomItemTip(id, -1, true)
end
-- The table of 4 rows of 6 cards, 80 x 100 each, from (135, 124).
local function onTable(x, y)
    return x >= 135 and x < 655 and y >= 124 and y < 539
end
-- The card player's turn, lit from the moment it passes to him, takes no
-- card of the player's: the message says whose turn it is, until the turn
-- comes back.
local waiting = false
-- The word of the card player's miss stays until the player's first click
-- on the table in their own turn.
local told = false
local enter = room.onEnter
function room.onEnter(self, n)
    enter(self, n)
    waiting = false
    told = false
    -- A game opened again once won is dealt afresh: the message says the
    -- card player is beaten already, in its place from the first frame (as
    -- a message on arrival stands).
    if LF.concentrationWon then
        inventory:setRoomItemTip("STR_CARDS_DONE", -1, false)
    end
end
function room.onClick(self, x, y)
    if onTable(x, y) and self:sprite("AITurnBG"):getFrame() == 1 then
        waiting = true
        tell("STR_CARDS_WAIT")
    elseif onTable(x, y) and told then
        told = false
        inventory:showRoomItemTip(false)
    end
end
function room.opponentPair(self, n)
    waiting = false
    told = false
    tell("STR_CARDS_HIS_PAIR")
end
function room.opponentMissed(self, n)
    waiting = false
    told = true
    tell("STR_CARDS_HIS_MISS")
end
function room.playerTurn(self, n)
    if waiting then
        waiting = false
        inventory:showRoomItemTip(false)
    end
end
function room.winGameScene(self, n)
    if not LF.concentrationWon then
        LF.concentrationWon = true
        LF_giveItem("ConcentrationTrophy")
        LF_tellOnArrival("STR_CARDS_WON_TROPHY")
    else
        LF_tellOnArrival("STR_CARDS_WON")
    end
    self:moveToRoom("TavernInterior")
end
function room.loseGameScene(self, n)
    -- The next deal asks whether the card player plays weak: now he does.
    LF.concentrationLost = true
    tell("STR_CARDS_LOST")
    self:setState("endround")
end
function room.tieGameScene(self, n)
    tell("STR_CARDS_TIED")
    self:setState("endround")
end
