-- Riverside.lua: the script of Riverside (room 5): butterflies over the
-- babbling river, and a rusty lever that opens the way north to the
-- treasure chest; sparkles show the lever until it is pulled, and pulled
-- it leans over. The player listens to the river on the first visit; the
-- river fills the vase. The way to the chest, shut until the lever is
-- pulled and again once the chest is emptied, says why.
rooms = rooms or {}

local function hintLever(self)
    self:addSparkleInSprite("Lever", "Glint", 40, 60)
end
-- The lever stands up until it is pulled, then leans over.
local function showLever(self)
    self:sprite("Lever"):show(not LF.riversideLeverPulled)
    self:sprite("LeverPulled"):show(LF.riversideLeverPulled)
end

local room = roomWithPeople("Riverside", {}, "STR_THINK_RIVERSIDE")
local entered = room.onEnter
room.onEnter = function(self, n)
    entered(self, n)
    self:addAmbientButterflies(4, 80, 250)
    -- The butterflies fly behind the exits' boxes.
    self:addSpriteToTop("ExitBoxes")
    self:addAmbientSound({ id = SOUNDS.stream, startMin = 10, startMax = 40, min = 40, max = 90 })
    showLever(self)
    if not LF.riversideLeverPulled then
        self:enableDoor("TreasureChestCU", false)
        hintLever(self)
    elseif LF.chestOpened then
        -- Every lock of the chest is open: nothing is left in it.
        self:enableDoor("TreasureChestCU", false)
    end
end

-- A click on the lever pulls it over, with a clank the player tells of; a
-- click on it pulled says so. Elsewhere, the lever glints until it is pulled.
function room.onClick(self, x, y)
    if LF.riversideLeverPulled then
        if self:sprite("LeverPulled"):hittest(x, y) then
            think("STR_THINK_LEVER_DONE")
        end
        return
    end
    if self:sprite("Lever"):hittest(x, y) then
        LF.riversideLeverPulled = true
        showLever(self)
        self:enableDoor("TreasureChestCU", true)
        self:createParticleEffect("LeverPulled", "Lock", 25)
        canvas:playSound(SOUNDS.chime)
        think("STR_THINK_LEVER_PULLED")
        LF_updateTasks()
    else
        hintLever(self)
    end
end

-- The river fills the vase; any other item is of no use here, and the
-- player says so.
local useRiverside = room.onUse
function room.onUse(self, x, y)
    local river = self:sprite("River")
    if canvas:getItemOnCursor() == "Vase" and river and river:hittest(x, y) then
        canvas:dropSpecialCursor()
        LF_takeItem("Vase")
        LF_giveItem("VaseWithWater")
        think("STR_THINK_VASE_FILLED")
        return
    end
    useRiverside(self, x, y)
end

rooms["Riverside"] = saysWhyShut(room, {Door0 = function(self)
    return LF.chestOpened and "STR_THINK_CHEST_EMPTY" or "STR_THINK_CHEST_SHUT"
end})
