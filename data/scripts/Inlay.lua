-- Inlay.lua: the script of Inlay (room 34), the gem inlays of the cave, and
-- the table of its class, hv.Inlay. The gem of inlay p, the island's gem
-- Gem_<p>, lies under the middle of the board: solved, the board fades away
-- from over it and the player says so; a click on it puts it into the bar.
-- The story keeps which puzzles are solved and which gems taken.
hv = hv or {}
hv.Inlay = hv.Inlay or {}
rooms = rooms or {}
rooms["Inlay"] = roomScript("Inlay")

local room = rooms["Inlay"]
local enter = room.onEnter
function room.onEnter(self, n)
    enter(self, n)
    -- The four gems lie on one spot: only the gem of the puzzle played shows
    -- (the room shows it when its puzzle is set up or solved), and a solved
    -- board, gone, hides it no more.
    for p = 1, 4 do
        self:sprite("Gem_" .. p):show(false)
    end
    -- The grid marks the places of the puzzle played (a frame each).
    self:sprite("grid"):setFrame(LF.inlayPuzzle - 1)
    self:sprite("grid"):show(not LF.inlaySolved[LF.inlayPuzzle])
    self:setPlaying(true)
    -- A board solved before stands empty: the player says it is done.
    if LF.inlaySolved[LF.inlayPuzzle] then
        think("STR_THINK_INLAY_DONE")
    end
end
function room.onWin(self, p)
    LF.inlaySolved[p] = true
    canvas:playSound(SOUNDS.chime)
    think("STR_THINK_INLAY_SOLVED")
end
function room.onClick(self, x, y)
    local p = LF.inlayPuzzle
    local gem = self:sprite("Gem_" .. p)
    if LF.inlaySolved[p] and not LF.gemTaken[p] and gem:visible() and gem:hittest(x, y) then
        LF.gemTaken[p] = true
        gem:show(false)
        -- A gem is in the bar once: one already there or set in the golden
        -- door is not given again.
        local name = "Gem_" .. p
        if not inventory:hasItem(name) and LF.caveGemsPlaced[p] ~= 1 then
            LF_giveItem(name)
        end
        think("STR_THINK_INLAY_GEM")
    end
end
