-- Dock.lua: the script of Dock (room 0): waves and gulls, and bubbles rising
-- in the harbour water.
rooms = rooms or {}
local room = roomScript("Dock")
local enter = room.onEnter

function room.onEnter(self, n)
    enter(self, n)
    canvas:loopSound(SOUNDS.waves)
    self:addAmbientAudioLoop(SOUNDS.waves)
    self:addAmbientSound({ id = SOUNDS.gull, startMin = 60, startMax = 150, min = 200, max = 400 })
    self:addAmbientBubbles()
end

function room.onExit(self, n)
    canvas:stopSound(SOUNDS.waves)
    self:removeAmbientAudioLoop(SOUNDS.waves)
end

rooms["Dock"] = room
