-- ArtRestoration.lua: the script of Art Restoration (room 19), where the
-- gallery's three paintings are mended one after the other; each zooms back
-- to its place on the gallery's wall. The owner thanks the player for all
-- three with his card, which bears the mansion's telephone number (a
-- reward, which the message in the gallery tells of, not a treasure found).
rooms = rooms or {}
rooms["ArtRestoration"] = roomScript("ArtRestoration")

local room = rooms["ArtRestoration"]
-- Each painting restored before the last is told in the gallery, with how
-- many are done.
function room.onFixedPainting(self, painting)
    LF.paintingFixed[painting] = true
    local fixed = 0
    for p = 1, 3 do
        fixed = fixed + (LF.paintingFixed[p] and 1 or 0)
    end
    if fixed < 3 then
        LF_tellOnArrival("STR_GALLERY_RESTORED", fixed)
    end
end
function room.onWin(self)
    if not LF.galleryRestored then
        LF.galleryRestored = true
        LF_giveMansionNumber(0)
        LF_tellOnArrival("STR_GALLERY_CARD")
    end
end
-- The small picture of the painting shrinks into its frame on the left,
-- clear of the easel.
function room.animateThumbnail(self, thumbnail)
    local frame = self:sprite("PaintingFrame")
    thumbnail:movePosition(frame:centerX() - thumbnail:centerX(), frame:centerY() - thumbnail:centerY())
end
