-- Waterfall.lua: the script of Waterfall (room 37): the rush of falling
-- water and bubbles rising in the pool below.
-- A treasure lies here: Peg_2.
rooms = rooms or {}
rooms["Waterfall"] = collectible(roomScriptEntering("Waterfall", function(self)
    self:addAmbientSound({ id = SOUNDS.stream, startMin = 0, startMax = 10, min = 20, max = 40 })
    self:addAmbientBubbles()
end), "Peg_2")
