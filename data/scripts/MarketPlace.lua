-- MarketPlace.lua: the script of Market Place (room 2): songbirds and
-- butterflies over a flower bed that bursts into petals when clicked; the
-- player wonders at the lanterns on the first visit. A bunch of flowers for
-- the professor lies by the stalls in the first chapter. A way shut in a
-- chapter says why.
rooms = rooms or {}
local room = roomWithPeople("MarketPlace", {})
local entered = room.onEnter
room.onEnter = function(self, n)
    local first = not LF.visited["MarketPlace"]
    entered(self, n)
    -- A later chapter starts with the story's state afresh: the market is
    -- met as the first chapter left it, its flowers picked and its lanterns
    -- already seen.
    local firstChapter = self:getChapterNumber() == 1
    if not firstChapter then
        self:sprite("Item_HiddenFlowerBouquet"):show(false)
    end
    if first and firstChapter then
        think("STR_THINK_MARKETPLACE")
    end
    self:addAmbientButterflies(3, 100, 300)
    -- The butterflies fly behind the exits' boxes.
    self:addSpriteToTop("ExitBoxes")
    self:addAmbientSound({ id = SOUNDS.birds, startMin = 30, startMax = 90, min = 150, max = 300 })
    self:addSparkleInRect(120, 420, 120, 40, "Glint", 30, 50, 5)
end

-- The ways the story keeps shut in a chapter (the story's table LF_WAYS):
-- a click on one says why, by the exit's sprite.
local SHUT_WAYS = {
    Door1 = "STR_THINK_MARKET_DOCK_SHUT",
    Door2 = "STR_THINK_MARKET_GALLERY_SHUT",
    Door3 = "STR_THINK_MARKET_FOUNTAIN_DONE",
}

function room.onClick(self, x, y)
    for door, thought in pairs(SHUT_WAYS) do
        local way = self:sprite(door)
        if way and way:hittest(x, y) and not way:hittestAndEnabled(x, y) then
            think(thought)
            return
        end
    end
    if self:sprite("Flowers"):hittest(x, y) then
        self:createParticleEffect("Flowers", "Flower", 40)
    end
end

-- The flowers picked: the player says whom they are for.
rooms["MarketPlace"] = collectible(room, "HiddenFlowerBouquet", function(self)
    think("STR_THINK_FLOWERS")
end)
