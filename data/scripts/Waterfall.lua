-- Waterfall.lua: the script of Waterfall (room 37): the rush of falling
-- water and bubbles rising in the pool below.
rooms = rooms or {}
local room = roomScript("Waterfall")
local enter = room.onEnter

function room.onEnter(self, n)
    enter(self, n)
    self:addAmbientSound({ id = SOUNDS.stream, startMin = 0, startMax = 10, min = 20, max = 40 })
    self:addAmbientBubbles()
end

rooms["Waterfall"] = room
