-- CaveMaze.lua: the script of Cave Maze (room 31), and the table of its
-- class, hv.CaveMaze. The maze keeps the chamber the player stands in (the
-- chamber shown on the next visit), opens the way out only in the first
-- chamber and the way through a puzzle door only where there is one, notes
-- that the golden door was found, and lets water drip in some chambers.
hv = hv or {}
hv.CaveMaze = hv.CaveMaze or {}
rooms = rooms or {}

local FIRST, GOLDEN_DOOR = 7, 1
local PUZZLES = {3, 5, 6, 8}
local DRIPS = {"WaterDrip", "WaterDripSplash", "WaterDrip_2", "WaterDripSplash_3", "WaterDrip_3"}
local room = roomScript("CaveMaze")

function room.onScreenSetup(self, screen)
    LF.caveMazeScreen = screen
    self:enableDoor("CaveEntrance", screen == FIRST)
    local puzzle = false
    for p = 1, 4 do
        puzzle = puzzle or PUZZLES[p] == screen
    end
    self:enableDoor("Inlay", puzzle)
    if screen == GOLDEN_DOOR then
        LF.caveGoldenDoorFound = true
    end
    for _, name in ipairs(DRIPS) do
        self:sprite(name):show(screen % 3 == 0)
    end
end

rooms["CaveMaze"] = room
