-- MansionFront_Night.lua: the script of Mansion Front at night (room 43). In
-- the fifth chapter the door into the hallway opens only by its keypad; a
-- click on it while it is locked says so. The keypad's light beside the
-- door shows red while it is locked and green once it is open.
rooms = rooms or {}
local front = saysWhyShut(roomScript("MansionFront_Night"), {Door0 = "STR_THINK_MANSION_DOOR_SHUT"})
local entered = front.onEnter
front.onEnter = function(self, n)
    entered(self, n)
    local open = self:getChapterNumber() ~= 5 or LF.mansionDoorOpen == true
    self:enableDoor("MansionHallway", open)
    self:sprite("KeypadLightOpen"):show(open)
end
rooms["MansionFront_Night"] = front
