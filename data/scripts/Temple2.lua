-- Temple2.lua: the script of Temple2 (room 59): the temple door to the
-- third hall stays shut until its sliding lock (north-east, the Temple Door
-- Puzzle) is opened, and shows locked across the way north until then;
-- then the way to the lock is no longer needed. A click on either way while
-- it is shut says why.
rooms = rooms or {}
local hall = roomScriptEntering("Temple2", function(self)
    local open = LF.templeDoorOpened == true
    self:enableDoor("Temple3", open)
    self:enableDoor("TempleDoorPuzzle", not open)
    -- The locked door shows across the way north until it opens.
    self:sprite("TempleDoor"):show(not open)
end)
saysWhyShut(hall, {Door0 = "STR_THINK_TEMPLE_DOOR_SHUT", Door2 = "STR_THINK_TEMPLE_DOOR_OPEN"})
rooms["Temple2"] = hall
