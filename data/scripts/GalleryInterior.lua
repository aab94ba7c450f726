-- GalleryInterior.lua: the script of Gallery Interior (room 12): the owner
-- is happy once she has told her story. The way to her restoration room
-- opens once the player has won the card player's trophy at the tavern.
rooms = rooms or {}
local room = roomWithPeople("GalleryInterior", {
    GalleryOwner = {x = 420, y = 292, after = "happy", "STR_GALLERYOWNER_1", "STR_GALLERYOWNER_2",
        "STR_GALLERYOWNER_3"},
})
local entered = room.onEnter
room.onEnter = function(self, n)
    entered(self, n)
    self:enableDoor("ArtRestoration", self:getChapterNumber() ~= 2 or LF.concentrationWon == true)
end
rooms["GalleryInterior"] = room
