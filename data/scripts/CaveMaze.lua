-- CaveMaze.lua: the script of Cave Maze (room 31), and the table of its
-- class, hv.CaveMaze. The maze keeps the chamber the player stands in (the
-- chamber shown on the next visit), opens the way out only in the chamber at
-- the cave's mouth and the way through a puzzle door only where there is
-- one, notes that the golden door was found, and lets water drip in some
-- chambers. With the map scroll the cave's map shows, marking the player's
-- chamber.
hv = hv or {}
hv.CaveMaze = hv.CaveMaze or {}
rooms = rooms or {}

-- The maze's chambers (the map's spots), the one at the cave's mouth, the
-- golden door's and the puzzles' (as the room's numbers say).
local caveSpots = {5, 6, 9, 10, 11, 12, 13, 14, 15, 18, 19, 22}
local entrance, goldenDoor = 22, 6
local puzzles = {12, 11, 19, 5}
local drips = {"WaterDrip", "WaterDripSplash", "WaterDrip_2", "WaterDripSplash_3", "WaterDrip_3"}
local room = roomScript("CaveMaze")

local function markMap(screen)
    if not inventory:hasItem("CaveMapScroll") then
        return
    end
    for _, spot in ipairs(caveSpots) do
        inventory:sprite("CaveMap_Visited_" .. spot):show(spot ~= screen)
        inventory:sprite("CaveMap_Current_" .. spot):show(spot == screen)
    end
end

local enter = room.onEnter
room.onEnter = function(self, n)
    enter(self, n)
    if inventory:hasItem("CaveMapScroll") then
        inventory:showCaveMap(true)
    end
end

local leave = room.onExit
room.onExit = function(self, n)
    inventory:showCaveMap(false)
    leave(self, n)
end

function room.onScreenSetup(self, screen)
    LF.caveMazeScreen = screen
    self:enableDoor("CaveEntrance", screen == entrance)
    local puzzle = false
    for p = 1, 4 do
        puzzle = puzzle or puzzles[p] == screen
    end
    self:enableDoor("Inlay", puzzle)
    if screen == goldenDoor then
        LF.caveGoldenDoorFound = true
    end
    for _, name in ipairs(drips) do
        self:sprite(name):show(screen % 3 == 0)
    end
    markMap(screen)
end

rooms["CaveMaze"] = room
