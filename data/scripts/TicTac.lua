-- TicTac.lua: the script of Tic Tac (room 52), noughts and crosses, and the
-- table of its class, hv.TicTac. After every game but the third won one the
-- board is cleared for the next. The third won game solves the board: the
-- card shark pays his debt with a note of the mansion door's code.
hv = hv or {}
hv.TicTac = hv.TicTac or {}
rooms = rooms or {}
rooms["TicTac"] = roomScript("TicTac")

local room = rooms["TicTac"]
function room.winGame1Scene(self, n)
    self:setState("endround")
end
function room.winGame2Scene(self, n)
    self:setState("endround")
end
function room.solvedGameScene(self, n)
    LF.ticTacSolved = true
    if not LF.story.gateCodeGiven then
        LF.story.gateCodeGiven = true
        LF_giveItem("MansionGateCode")
    end
end
function room.loseGameScene(self, n)
    self:setState("endround")
end
function room.tieGameScene(self, computerStarted)
    self:setState("endround")
end
