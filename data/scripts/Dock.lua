-- Dock.lua: the script of Dock (room 0): waves and gulls, and bubbles rising
-- in the harbour water.
rooms = rooms or {}
local room = roomScriptEntering("Dock", function(self)
    self:addAmbientSound({ id = SOUNDS.gull, startMin = 60, startMax = 150, min = 200, max = 400 })
    self:addAmbientBubbles()
end)
loopWhileInRoom(room, SOUNDS.waves)
rooms["Dock"] = room
