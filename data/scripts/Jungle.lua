-- Jungle.lua: the script of Jungle (room 29): many butterflies, birds all
-- around, and a golden idol among the leaves that glints until it is found
-- (the player says it stays where it is).
-- On the island's errand vines choke the way east to the bridge until the
-- player has reached the bridge through the cave.
-- A treasure lies here: Gem_4.
rooms = rooms or {}

local function overgrown(self)
    return self:getChapterNumber() == 3 and not LF.bridgeReached
end

local room = roomScriptEntering("Jungle", function(self)
    self:addAmbientButterflies(6, 40, 150)
    -- The butterflies fly behind the exits' boxes, and the vines stay
    -- drawn over the bridge's.
    self:addSpriteToTop("ExitBoxes")
    self:addSpriteToTop("Vines")
    self:addAmbientSound({ id = SOUNDS.birds, startMin = 20, startMax = 60, min = 80, max = 200 })
    self:addAmbientSound({ id = SOUNDS.gull, startMin = 300, startMax = 500, min = 400, max = 700 })
    if not LF.jungleIdolFound then
        self:addSparkleInSprite("Idol", "Glint", 60, 40)
    end
    local vines = overgrown(self)
    self:sprite("Vines"):show(vines)
    self:enableDoor("Bridge", not vines)
end)

function room.onClick(self, x, y)
    if self:sprite("Idol"):hittest(x, y) then
        if not LF.jungleIdolFound then
            LF.jungleIdolFound = true
            self:createParticleEffect("Idol", "PipesFixed", 30)
            canvas:playSound(SOUNDS.chime)
        end
        think("STR_THINK_JUNGLE_IDOL")
    elseif self:sprite("Vines"):visible() and self:sprite("Vines"):hittest(x, y) then
        think("STR_THINK_JUNGLE_VINES")
    end
end

rooms["Jungle"] = collectible(room, "Gem_4", "STR_THINK_FOUND_GEM_4")
