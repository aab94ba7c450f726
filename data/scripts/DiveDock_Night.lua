-- DiveDock_Night.lua: the script of Dive Dock at night (room 45): waves,
-- crickets and a few fireflies over the water.
rooms = rooms or {}
local room = roomScriptEntering("DiveDock_Night", function(self)
    self:addAmbientFireflies(3, 60, 200)
    self:addAmbientSound({ id = SOUNDS.crickets, startMin = 40, startMax = 100, min = 60, max = 160 })
end)
loopWhileInRoom(room, SOUNDS.waves)
rooms["DiveDock_Night"] = room
