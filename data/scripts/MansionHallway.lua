-- MansionHallway.lua: the script of Mansion Hallway (room 50): a ghost's
-- voice greets whoever walks in at night. A card with the view finder's
-- bearing lies here: a clue the story needs, so taken into the bar but not
-- counted as a treasure found. In the fifth chapter the study's door stays
-- locked until its key is taken from the hallway's clock, where the view
-- finder shows it hangs; a click on the locked door or on the clock says
-- what the player knows, and so does one on the card, the ghost or the
-- portraits.
rooms = rooms or {}
local hallway = roomWithPeople("MansionHallway", {
    Ghost = {x = 600, y = 150, voice = true, balloon = "NE", "STR_GHOST_1", "STR_GHOST_2"},
})

local function studyOpen(self)
    return self:getChapterNumber() ~= 5 or LF.story.studyKeyTaken == true
end
local function cardTaken()
    return LF.story.bearingCardTaken == true or LF_itemFound("ViewFinderSolution")
end

local entered = hallway.onEnter
hallway.onEnter = function(self, n)
    entered(self, n)
    self:sprite("Item_ViewFinderSolution"):show(not cardTaken())
    self:sprite("HallwayClock"):setFrame(LF.story.studyKeyTaken and 1 or 0)
    self:enableDoor("MansionStudy", studyOpen(self))
end
clickingSpot(hallway, "Item_ViewFinderSolution", function(self, spot)
    spot:show(false)
    LF.story.bearingCardTaken = true
    LF_giveItem("ViewFinderSolution")
    think("STR_THINK_BEARING_CARD")
end)
-- The ghost's voice falls silent as the player thinks of him.
clickingSpot(hallway, "GhostFigure", function(self)
    local ghost = characterNamed(self, "Ghost")
    if ghost and ghost:isTalking() then
        ghost:stopTalk()
    end
    think("STR_THINK_GHOST")
end)
-- The two portraits on the wall, as the room's picture draws them.
local clickHallway = hallway.onClick
hallway.onClick = function(self, x, y)
    if x >= 320 and x < 490 and y >= 130 and y < 220 then
        think("STR_THINK_PORTRAITS")
        return
    end
    clickHallway(self, x, y)
end
-- The clock keeps the key until the view finder has shown it there.
clickingSpot(hallway, "HallwayClock", function(self, clock)
    if LF.story.studyKeyTaken or self:getChapterNumber() ~= 5 then
        think("STR_THINK_HALL_CLOCK")
    elseif LF.viewFinderSolved then
        LF.story.studyKeyTaken = true
        clock:setFrame(1)
        self:enableDoor("MansionStudy", true)
        canvas:playSound(SOUNDS.chime)
        LF_updateTasks()
        think("STR_THINK_STUDY_KEY")
    else
        think("STR_THINK_HALL_CLOCK")
    end
end)
saysWhyShut(hallway, {Door0 = function(self)
    return LF.viewFinderSolved and "STR_THINK_STUDY_KEY_IN_CLOCK" or "STR_THINK_STUDY_SHUT"
end})
rooms["MansionHallway"] = hallway
