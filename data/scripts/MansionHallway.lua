-- MansionHallway.lua: the script of Mansion Hallway (room 50): a ghost's
-- voice greets whoever walks in at night. In the fifth chapter the study's
-- door stays locked until the view finder has shown where its key hides.
-- A treasure lies here: ViewFinderSolution.
rooms = rooms or {}
local hallway = collectible(roomWithPeople("MansionHallway", {
    Ghost = {x = 600, y = 150, voice = true, balloon = "NE", "STR_GHOST_1", "STR_GHOST_2"},
}), "ViewFinderSolution")
local entered = hallway.onEnter
hallway.onEnter = function(self, n)
    entered(self, n)
    self:enableDoor("MansionStudy", self:getChapterNumber() ~= 5 or LF.viewFinderSolved == true)
end
rooms["MansionHallway"] = hallway
