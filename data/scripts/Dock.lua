-- Dock.lua: the script of Dock (room 0): the fisherman mends his nets here,
-- waves and gulls, bubbles rising in the harbour water (behind him and the
-- exits' boxes), and on the first visit the tutorial's guide explains how to
-- talk, then stands by until the player leaves.
-- The first chapter's errand ends here: the professor's box opens to an
-- amulet. Once the errand is done, the chest by the river is open and the
-- fountain runs again, the ferry comes in, and boarding it ends the first
-- chapter. The last chapter starts here too: the fisherman's boat rows the
-- player over to the island, and the ways into the town say they are shut.
rooms = rooms or {}
-- The fisherman stands by the way to the professor's house: his words come
-- from the left of his face, clear of that way's name.
local dock = roomWithPeople("Dock", {
    Fisherman = {x = 662, y = 312, speaksFrom = {632, 300, "NE"}, "STR_FISHERMAN_1", "STR_FISHERMAN_2",
        "STR_FISHERMAN_3"},
})
local entered, left, use = dock.onEnter, dock.onExit, dock.onUse

dock.onEnter = function(self, n)
    local first = not LF.visited["Dock"]
    entered(self, n)
    self:addAmbientSound({ id = SOUNDS.gull, startMin = 60, startMax = 150, min = 200, max = 400 })
    self:addAmbientBubbles()
    -- The bubbles rise behind the fisherman and the exits' boxes.
    self:addSpriteToTop("Fisherman")
    self:addSpriteToTop("ExitBoxes")
    local chapter = self:getChapterNumber()
    if first and chapter == 1 then
        guide("STR_TUTORIAL_1")
    end
    self:sprite("IslandBoat"):show(chapter == 6)
end
dock.onUse = function(self, x, y)
    if canvas:getItemOnCursor() == "Box" then
        canvas:dropSpecialCursor()
        LF_takeItem("Box")
        LF_giveItem("Amulet")
        -- The fisherman opens the box and tells what lay in it.
        local fisherman = characterNamed(self, "Fisherman")
        if fisherman then
            fisherman:talk("STR_FISHERMAN_BOX")
        end
        dock.showChapterEnd(self)
        return
    end
    use(self, x, y)
end
dock.onExit = function(self, n)
    dismissGuide()
    left(self, n)
end
loopWhileInRoom(dock, SOUNDS.waves)
chapterEndsOn(dock, 1, "Ferry", function(self)
    return LF.taken.Box and LF.chestOpened and LF.fountainFixedWaterOn
end)
clickingSpot(dock, "IslandBoat", function(self)
    self:moveToRoom("IslandLanding")
end)
-- In the last chapter the town's ways stay shut: a click on one says the
-- fisherman is the way on.
saysWhyShut(dock, {
    Door0 = "STR_THINK_DOCK_TOWN_SHUT",
    Door1 = "STR_THINK_DOCK_TOWN_SHUT",
    Door2 = "STR_THINK_DOCK_TOWN_SHUT",
})
rooms["Dock"] = dock
