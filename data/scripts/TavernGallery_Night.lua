-- TavernGallery_Night.lua: the script of Tavern Gallery at night (room 48),
-- the square between the tavern and the gallery. The way west to the canoe
-- landing stays shut (Lanternfield.lua): the canoe that came from the
-- village has gone back, so its box names the landing, and a click on it
-- says why.
rooms = rooms or {}
rooms["TavernGallery_Night"] =
    saysWhyShut(roomScript("TavernGallery_Night"), {Door3 = "STR_THINK_NIGHT_VILLAGE_SHUT"})
