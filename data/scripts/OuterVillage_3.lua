-- OuterVillage_3.lua: the script of Outer Village 3 (room 42), with the
-- third peg board, which lacks its peg. While the fourth chapter is played
-- the palisade shuts the way east (a click on it says so); once the three
-- boards are won a canoe waits, and boarding it ends the chapter.
rooms = rooms or {}
local village = withPegBoardLackingPeg(roomScript("OuterVillage_3"), 3)
local enterVillage = village.onEnter
village.onEnter = function(self, n)
    enterVillage(self, n)
    local fourth = self:getChapterNumber() == 4
    self:sprite("Fence"):show(fourth)
    self:enableDoor("TavernGallery_Night", not fourth)
end
-- A click on the palisade says why the way east is shut.
clickingSpot(village, "Fence", function(self)
    think("STR_THINK_PALISADE")
end)
chapterEndsOn(village, 4, "Canoe", function(self)
    return LF.pegsSolved[1] and LF.pegsSolved[2] and LF.pegsSolved[3]
end)
rooms["OuterVillage_3"] = village
