-- ArtRestoration.lua: the script of Art Restoration (room 19), where the
-- gallery's three paintings are mended one after the other.
rooms = rooms or {}
rooms["ArtRestoration"] = roomScript("ArtRestoration")

local room = rooms["ArtRestoration"]
function room.onFixedPainting(self, painting)
    LF.paintingFixed[painting] = true
end
function room.onWin(self)
    LF.galleryRestored = true
end
-- The small picture of the painting stays in its frame on the left, where
-- the room shrinks it.
function room.animateThumbnail(self, thumbnail)
end
