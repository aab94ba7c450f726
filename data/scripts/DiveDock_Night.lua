-- DiveDock_Night.lua: the script of Dive Dock at night (room 45): waves,
-- crickets and a few fireflies over the water. In the fifth chapter the dive
-- shop opens once its key has been taken from the study's safe,
-- and the jetty behind the dock can be walked once the shop's circuit board
-- has lit it; a click on either while it is shut says why.
rooms = rooms or {}
local room = roomScriptEntering("DiveDock_Night", function(self)
    self:addAmbientFireflies(3, 60, 200)
    -- The fireflies fly behind the exits' boxes.
    self:addSpriteToTop("ExitBoxes")
    self:addAmbientSound({ id = SOUNDS.crickets, startMin = 40, startMax = 100, min = 60, max = 160 })
    local other = self:getChapterNumber() ~= 5
    self:enableDoor("DiveDockInterior", other or LF.safeOpened == true)
    self:enableDoor("BehindDiveDock", other or LF.circuitBoardSolved == true)
end)
loopWhileInRoom(room, SOUNDS.waves)
saysWhyShut(room, {Door1 = "STR_THINK_JETTY_DARK", Door2 = "STR_THINK_DIVE_SHOP_SHUT"})
rooms["DiveDock_Night"] = room
