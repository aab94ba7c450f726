-- HedgeMazeFront_Night.lua: the script of Hedge Maze Front at night (room
-- 47): fireflies along the hedge and crickets.
rooms = rooms or {}
rooms["HedgeMazeFront_Night"] = roomScriptEntering("HedgeMazeFront_Night", function(self)
    self:addAmbientFireflies(6, 40, 160)
    -- The fireflies fly behind the exits' boxes.
    self:addSpriteToTop("ExitBoxes")
    self:addAmbientSound({ id = SOUNDS.crickets, startMin = 10, startMax = 40, min = 30, max = 90 })
end)
