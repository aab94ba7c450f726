-- GalleryInterior.lua: the script of Gallery Interior (room 12): the owner
-- is happy once she has told her story.
-- A treasure lies here: MansionGateCode.
rooms = rooms or {}
rooms["GalleryInterior"] = collectible(roomWithPeople("GalleryInterior", {
    GalleryOwner = {x = 420, y = 292, after = "happy", "STR_GALLERYOWNER_1", "STR_GALLERYOWNER_2"},
}), "MansionGateCode")
