-- GalleryInterior.lua: the script of Gallery Interior (room 12): the owner
-- is happy once he has told his story; his three paintings hang on the wall,
-- clean once restored. The way to his restoration room opens once the player
-- has won the card player's trophy at the tavern; till then a click on it
-- says so.
rooms = rooms or {}
-- His words follow the story: his paintings wanting a careful hand, the
-- player's once the card player is beaten, until they are restored, then
-- how they shine; who may mend them, that the player may now, and his
-- thanks.
local function paintingsWord()
    if LF.galleryRestored then
        return "STR_GALLERYOWNER_2_DONE"
    end
    return LF.concentrationWon and "STR_GALLERYOWNER_2_WON" or "STR_GALLERYOWNER_2"
end
local function ownersWord()
    if LF.galleryRestored then
        return "STR_GALLERYOWNER_THANKS"
    end
    return LF.concentrationWon and "STR_GALLERYOWNER_WON" or "STR_GALLERYOWNER_3"
end
-- He stands with his feet above the new-task banner over the task paper.
local room = roomWithPeople("GalleryInterior", {
    GalleryOwner = {x = 520, y = 276, after = "happy", "STR_GALLERYOWNER_1", paintingsWord, ownersWord},
})
local entered = room.onEnter
room.onEnter = function(self, n)
    entered(self, n)
    -- The owner's paintings hang on the wall, each under its grime until it
    -- is restored.
    for painting = 1, 3 do
        self:sprite("Grime" .. painting):show(not LF.paintingFixed[painting])
    end
    self:enableDoor("ArtRestoration", self:getChapterNumber() ~= 2 or LF.concentrationWon == true)
end
-- A click on the shut way to the restoration room says why it is shut.
local click = room.onClick
room.onClick = function(self, x, y)
    local way = self:sprite("Door1")
    if way and way:hittest(x, y) and not way:hittestAndEnabled(x, y) then
        think("STR_THINK_RESTORATION_SHUT")
        return
    end
    click(self, x, y)
end
rooms["GalleryInterior"] = room
