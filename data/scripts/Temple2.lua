-- Temple2.lua: the script of Temple2 (room 59): the temple door to the
-- third hall stays shut until its sliding lock (north-east, the Temple Door
-- Puzzle) is opened; then the way to the lock is no longer needed.
rooms = rooms or {}
local hall = roomScriptEntering("Temple2", function(self)
    local open = LF.templeDoorOpened == true
    self:enableDoor("Temple3", open)
    self:enableDoor("TempleDoorPuzzle", not open)
end)
rooms["Temple2"] = hall
