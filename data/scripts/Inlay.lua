-- Inlay.lua: the script of Inlay (room 34), the gem inlays of the cave, and
-- the table of its class, hv.Inlay. A solved inlay's gem is taken with a
-- click: inlay p holds the island's gem Gem_<p>, which goes into the bar
-- unless it was found already; the story keeps which puzzles are solved and
-- which gems taken.
hv = hv or {}
hv.Inlay = hv.Inlay or {}
rooms = rooms or {}
rooms["Inlay"] = roomScript("Inlay")

local room = rooms["Inlay"]
local enter = room.onEnter
function room.onEnter(self, n)
    enter(self, n)
    -- The four gems lie on one spot: only the gem of the puzzle played shows
    -- (the room shows it when its puzzle is set up or solved).
    for p = 1, 4 do
        self:sprite("Gem_" .. p):show(false)
    end
    self:setPlaying(true)
end
function room.onWin(self, p)
    LF.inlaySolved[p] = true
    canvas:playSound(SOUNDS.chime)
end
-- The gem lies at (315, 390), 60 x 50.
function room.onClick(self, x, y)
    local p = LF.inlayPuzzle
    if LF.inlaySolved[p] and not LF.gemTaken[p] and x >= 315 and x < 375 and y >= 390 and y < 440 then
        LF.gemTaken[p] = true
        self:sprite("Gem_" .. p):show(false)
        local gem = "Gem_" .. p
        if not LF_itemFound(gem) then
            LF_findItem(gem)
        end
    end
end
