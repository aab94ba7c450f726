-- Dock.lua: the script of Dock (room 0): waves and gulls, and bubbles rising
-- in the harbour water.
rooms = rooms or {}
local room = roomScript("Dock")
local enter = room.onEnter

function room.onEnter(self, n)
    enter(self, n)
    self:addAmbientSound({ id = SOUNDS.gull, startMin = 60, startMax = 150, min = 200, max = 400 })
    self:addAmbientBubbles()
end

loopWhileInRoom(room, SOUNDS.waves)
rooms["Dock"] = room
