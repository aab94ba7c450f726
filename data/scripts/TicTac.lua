-- TicTac.lua: the script of Tic Tac (room 52), noughts and crosses, and the
-- table of its class, hv.TicTac. The line under the title gives the rules in
-- short and then how each game ended; an ended game's board and scores stay
-- until the player clicks, and every game but the third won one is then
-- cleared for the next, whose line counts the games won, as the label under
-- the board does. A click on the board while the card shark is on turn is
-- told to wait, and that it is the player's turn once "You" lights; one on
-- a blocked or taken square is told so. The third won game solves the
-- board: the card shark pays his debt with a note of the mansion door's
-- code, and the Leave button leads out again.
hv = hv or {}
hv.TicTac = hv.TicTac or {}
rooms = rooms or {}
rooms["TicTac"] = roomScript("TicTac")

local room = rooms["TicTac"]

-- The message line shows the text item, "%1" the games won so far; the
-- label under the board shows the same count at once.
local function say(self, id)
    local won = LF_getTicTacRoundNumber()
    local line = hv.getResourceString(id):gsub("%%1", tostring(won))
    self:sprite("Message"):setText(line)
    local wins = self:sprite("Wins")
    wins:show(won > 0)
    if won > 0 then
        wins:setFrame(math.min(won, 3) - 1)
    end
end

-- A game has ended and its board waits for the player's click; the board
-- is solved; the line tells of the player's last click ("wait" while the
-- card shark is on turn, "turn" once "You" lit after that, "square" on a
-- square that takes no piece), until their next click on their turn.
local ended = false
local solved = false
local note = nil

-- The board's squares, 80 pixels each from (200, 110).
local function onBoard(x, y)
    return x >= 200 and x < 600 and y >= 110 and y < 510
end

-- Neither side is on turn: both labels are dark.
local function noTurn(self)
    for _, side in ipairs({"AI", "Player"}) do
        self:sprite(side .. "TurnBG"):setFrame(0)
        self:sprite(side .. "TurnActive"):setAlphaBalance(0.12)
    end
end

-- The game's end is told, its line fading in over a second, during which a
-- click (one meant for the last move, say) does not yet clear the board; the
-- board stays as it ended, with no side on turn until the next game.
local function endGame(self, id)
    say(self, id)
    local line = self:sprite("Message")
    line:setAlphaBalance(0.0)
    line:setAlphaDestination(1.0, 25)
    noTurn(self)
    ended = true
end

local entered = room.onEnter
room.onEnter = function(self, n)
    entered(self, n)
    ended = false
    solved = false
    note = nil
    say(self, "STR_TICTAC_RULES")
    self:sprite("Message"):setAlphaBalance(1.0)
end
-- A click after a game's end, once its line is in, clears the board for the
-- next game. A click on the board while "You" is not lit is not the
-- player's move: the line says to wait. A click on the board on the
-- player's turn brings the game's line back after a note.
function room.onClick(self, x, y)
    if ended and self:sprite("Message"):isAnimating() then
        return
    elseif ended then
        ended = false
        note = nil
        say(self, "STR_TICTAC_PLAYING")
        self:setState("endround")
    elseif not solved and onBoard(x, y) then
        if self:sprite("PlayerTurnBG"):getFrame() ~= 1 then
            note = "wait"
            say(self, "STR_TICTAC_WAIT")
        elseif note then
            note = nil
            say(self, "STR_TICTAC_PLAYING")
        end
    end
end
-- "You" lights: a click that was told to wait is told it is the player's
-- turn now (the room often lights "You" a moment after that click, so the
-- line to wait alone would hardly be seen).
function room.playerTurn(self, n)
    if note == "wait" then
        note = "turn"
        say(self, "STR_TICTAC_YOUR_TURN")
    end
end
-- A click on a blocked square, or on one already taken, sets no piece.
function room.squareNotFree(self, mark)
    note = "square"
    say(self, mark < 0 and "STR_TICTAC_BLOCKED" or "STR_TICTAC_TAKEN")
end
function room.winGame1Scene(self, n)
    endGame(self, "STR_TICTAC_WON")
end
function room.winGame2Scene(self, n)
    endGame(self, "STR_TICTAC_WON")
end
function room.solvedGameScene(self, n)
    LF.ticTacSolved = true
    solved = true
    say(self, "STR_TICTAC_SOLVED")
    -- The play is over: neither side is on turn, and the way out opens.
    noTurn(self)
    self:sprite("CloseButton"):enable(true)
    if not LF.story.gateCodeGiven then
        LF.story.gateCodeGiven = true
        LF_giveMansionNumber(1)
    end
end
function room.loseGameScene(self, n)
    endGame(self, "STR_TICTAC_LOST")
end
function room.tieGameScene(self, computerStarted)
    endGame(self, "STR_TICTAC_TIE")
end
