-- GalleryInterior.lua: the script of Gallery Interior (room 12): the owner
-- is happy once she has told her story.
rooms = rooms or {}
rooms["GalleryInterior"] = roomWithPeople("GalleryInterior", {
    GalleryOwner = {x = 420, y = 292, after = "happy", "STR_GALLERYOWNER_1", "STR_GALLERYOWNER_2"},
})
