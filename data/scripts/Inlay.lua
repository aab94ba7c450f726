-- Inlay.lua: the script of Inlay (room 34), the gem inlays of the cave, and
-- the table of its class, hv.Inlay. A solved inlay's gem is taken with a
-- click; the story keeps which puzzles are solved and which gems taken.
hv = hv or {}
hv.Inlay = hv.Inlay or {}
rooms = rooms or {}
rooms["Inlay"] = roomScript("Inlay")

local room = rooms["Inlay"]
local enter = room.onEnter
function room.onEnter(self, n)
    enter(self, n)
    self:setPlaying(true)
end
function room.onWin(self, p)
    LF.inlaySolved[p] = true
end
-- The gem lies at (315, 390), 60 x 50.
function room.onClick(self, x, y)
    local p = LF.inlayPuzzle
    if LF.inlaySolved[p] and not LF.gemTaken[p] and x >= 315 and x < 375 and y >= 390 and y < 440 then
        LF.gemTaken[p] = true
        self:sprite("Gem_" .. p):show(false)
    end
end
