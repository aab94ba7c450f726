-- Waterfall.lua: the script of Waterfall (room 37): the rush of falling
-- water and its spray glinting over the pool below.
-- A treasure lies here: Peg_2.
rooms = rooms or {}
rooms["Waterfall"] = collectible(roomScriptEntering("Waterfall", function(self)
    self:addAmbientSound({ id = SOUNDS.stream, startMin = 0, startMax = 10, min = 20, max = 40 })
    self:addSparkleInRect(300, 404, 200, 40, "Glint", 40, 50, 8)
end), "Peg_2", "STR_THINK_FOUND_PEG_2")
