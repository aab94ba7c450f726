-- MarketPlace.lua: the script of Market Place (room 2): songbirds and
-- butterflies over a flower bed that bursts into petals when clicked.
rooms = rooms or {}
local room = roomScriptEntering("MarketPlace", function(self)
    self:addAmbientButterflies(3, 100, 300)
    self:addAmbientSound({ id = SOUNDS.birds, startMin = 30, startMax = 90, min = 150, max = 300 })
    self:addSparkleInRect(120, 420, 120, 40, "Glint", 30, 50, 5)
end)

function room.onClick(self, x, y)
    if self:sprite("Flowers"):hittest(x, y) then
        self:createParticleEffect("Flowers", "Flower", 40)
    end
end

rooms["MarketPlace"] = room
