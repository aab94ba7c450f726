-- MansionFront_Night.lua: the script of Mansion Front at night (room 43). In
-- the fifth chapter the door into the hallway opens only by its keypad.
rooms = rooms or {}
local front = roomScript("MansionFront_Night")
local entered = front.onEnter
front.onEnter = function(self, n)
    entered(self, n)
    self:enableDoor("MansionHallway", self:getChapterNumber() ~= 5 or LF.mansionDoorOpen == true)
end
rooms["MansionFront_Night"] = front
