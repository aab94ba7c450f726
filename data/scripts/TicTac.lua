-- TicTac.lua: the script of Tic Tac (room 52), noughts and crosses, and the
-- table of its class, hv.TicTac. The line under the title gives the rules in
-- short and then how each game ended; after every game but the third won
-- one the board is cleared for the next. The third won game solves the
-- board: the card shark pays his debt with a note of the mansion door's
-- code, and the Leave button leads out again.
hv = hv or {}
hv.TicTac = hv.TicTac or {}
rooms = rooms or {}
rooms["TicTac"] = roomScript("TicTac")

local room = rooms["TicTac"]

-- The message line shows the text item, "%1" the games won so far.
local function say(self, id)
    local line = hv.getResourceString(id):gsub("%%1", tostring(LF_getTicTacRoundNumber()))
    self:sprite("Message"):setText(line)
end

local entered = room.onEnter
room.onEnter = function(self, n)
    entered(self, n)
    say(self, "STR_TICTAC_RULES")
end
function room.winGame1Scene(self, n)
    say(self, "STR_TICTAC_WON")
    self:setState("endround")
end
function room.winGame2Scene(self, n)
    say(self, "STR_TICTAC_WON")
    self:setState("endround")
end
function room.solvedGameScene(self, n)
    LF.ticTacSolved = true
    say(self, "STR_TICTAC_SOLVED")
    -- The play is over: neither side is on turn, and the way out opens.
    for _, side in ipairs({"AI", "Player"}) do
        self:sprite(side .. "TurnBG"):setFrame(0)
        self:sprite(side .. "TurnActive"):setAlphaBalance(0.12)
    end
    self:sprite("CloseButton"):enable(true)
    if not LF.story.gateCodeGiven then
        LF.story.gateCodeGiven = true
        LF_giveItem("MansionGateCode")
    end
end
function room.loseGameScene(self, n)
    say(self, "STR_TICTAC_LOST")
    self:setState("endround")
end
function room.tieGameScene(self, computerStarted)
    say(self, "STR_TICTAC_TIE")
    self:setState("endround")
end
