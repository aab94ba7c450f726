-- MansionFront.lua: the script of Mansion Front (room 16). By day the
-- mansion's door stays locked: the player says so on the first visit and
-- at a click on the door.
rooms = rooms or {}
local front = roomWithPeople("MansionFront", {}, "STR_THINK_MANSION_FRONT")
rooms["MansionFront"] = clickingSpot(front, "MansionDoor", function(self)
    think("STR_THINK_MANSION_FRONT")
end)
