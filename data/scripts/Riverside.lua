-- Riverside.lua: the script of Riverside (room 5): butterflies over the
-- babbling river, and a rusty lever that opens the way north to the
-- treasure chest; sparkles show the lever until it is pulled. The player
-- listens to the river on the first visit; the river fills the vase.
rooms = rooms or {}

local function hintLever(self)
    self:addSparkleInSprite("Lever", "Glint", 40, 60)
end

local room = roomWithPeople("Riverside", {}, "STR_THINK_RIVERSIDE")
local entered = room.onEnter
room.onEnter = function(self, n)
    entered(self, n)
    self:addAmbientButterflies(4, 80, 250)
    -- The butterflies fly behind the exits' boxes.
    self:addSpriteToTop("ExitBoxes")
    self:addAmbientSound({ id = SOUNDS.stream, startMin = 10, startMax = 40, min = 40, max = 90 })
    if not LF.riversideLeverPulled then
        self:enableDoor("TreasureChestCU", false)
        hintLever(self)
    elseif LF.chestOpened then
        -- Every lock of the chest is open: nothing is left in it.
        self:enableDoor("TreasureChestCU", false)
    end
end

function room.onClick(self, x, y)
    if LF.riversideLeverPulled then
        return
    end
    if self:sprite("Lever"):hittest(x, y) then
        LF.riversideLeverPulled = true
        self:enableDoor("TreasureChestCU", true)
        self:createParticleEffect("Lever", "Lock", 25)
        canvas:playSound(SOUNDS.chime)
        LF_updateTasks()
    else
        hintLever(self)
    end
end

function room.onUse(self, x, y)
    local river = self:sprite("River")
    if canvas:getItemOnCursor() == "Vase" and river and river:hittest(x, y) then
        canvas:dropSpecialCursor()
        LF_takeItem("Vase")
        LF_giveItem("VaseWithWater")
        think("STR_THINK_VASE_FILLED")
        return
    end
    canvas:dropInvalidCursorItem()
end

rooms["Riverside"] = room
