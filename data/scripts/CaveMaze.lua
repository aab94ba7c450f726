-- CaveMaze.lua: the script of Cave Maze (room 31), and the table of its
-- class, hv.CaveMaze. The maze keeps the chamber the player stands in (the
-- chamber shown on the next visit), opens the way out only in the chamber at
-- the cave's mouth and the way through a puzzle door only where there is
-- one, notes that the golden door was found, and lets water drip in some
-- chambers. With the map scroll the cave's map shows, marking the player's
-- chamber. The four gems of the island (two of them won in the inlays behind
-- the two puzzle doors) fit the golden door's sockets: the gems stay in the
-- bar, so the player, coming to the door with a gem, says that a click on
-- it sets them; a click sets those the player holds, the player counts the
-- sockets still empty, and with all four in place the gems sink in, its
-- leaves swing aside (the player says so) and the way north leads out to
-- the bridge. A click in a dead end, beside its one way, says to go back.
hv = hv or {}
hv.CaveMaze = hv.CaveMaze or {}
rooms = rooms or {}

-- The maze's chambers (the map's spots), the one at the cave's mouth, the
-- golden door's and those with a puzzle door (as the room's numbers say).
local caveSpots = {5, 6, 9, 10, 11, 12, 13, 14, 15, 18, 19, 22}
local entrance, goldenDoor = 22, 6
local puzzles = {11, 19}
local drips = {"WaterDrip", "WaterDripSplash", "WaterDrip_2", "WaterDripSplash_3", "WaterDrip_3"}
-- The click areas of a chamber's ways, which the room opens as it shows it.
local ways = {"DoorNorth", "DoorSouth", "DoorWest", "DoorEast"}
local room = roomScript("CaveMaze")
-- The golden door's leaves: where each stands shut (as the room's data
-- places it) and the way it swings, aside by its width, when open.
local leafWidth = 88
local leaves = {goldDoor_Left = {x = 312, side = -1}, goldDoor_Right = {x = 400, side = 1}}

-- The leaves of the golden door at their places, shut or open; the band of
-- sockets across them goes with the gems, which sank into the door as it
-- opened (the room shows the band on the door's chamber: it is moved away).
local trimTop = 70
local function placeLeaves(self)
    for name, place in pairs(leaves) do
        local leaf = self:sprite(name)
        leaf:setPosition(place.x + (LF.caveGemDoorOpened and place.side * leafWidth or 0), leaf:top())
    end
    local trim = self:sprite("goldDoor_Trim")
    trim:setPosition(trim:left(), LF.caveGemDoorOpened and -600 or trimTop)
end

local function markMap(screen)
    if not inventory:hasItem("CaveMapScroll") then
        return
    end
    for _, spot in ipairs(caveSpots) do
        inventory:sprite("CaveMap_Visited_" .. spot):show(spot ~= screen)
        inventory:sprite("CaveMap_Current_" .. spot):show(spot == screen)
    end
end

-- A gem in the bar that the golden door still lacks.
local function gemToSet()
    for g = 1, 4 do
        if LF.caveGemsPlaced[g] ~= 1 and inventory:hasItem("Gem_" .. g) then
            return true
        end
    end
    return false
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
    for _, chamber in ipairs(puzzles) do
        puzzle = puzzle or chamber == screen
    end
    self:enableDoor("Inlay", puzzle)
    if screen == goldenDoor then
        LF.caveGoldenDoorFound = true
        if not LF.caveGemDoorOpened and gemToSet() then
            think("STR_THINK_GOLDEN_DOOR_GEMS")
        end
    end
    for _, name in ipairs(drips) do
        self:sprite(name):show(screen % 3 == 0)
    end
    self:enableDoor("Bridge", screen == goldenDoor and LF.caveGemDoorOpened)
    placeLeaves(self)
    markMap(screen)
end

-- A click on the shut golden door sets the gems the player holds into it;
-- the fourth opens it.
local function useGoldenDoor(self)
    local placed = 0
    for g = 1, 4 do
        local name = "Gem_" .. g
        if LF.caveGemsPlaced[g] ~= 1 and inventory:hasItem(name) then
            LF_takeItem(name)
            LF.caveGemsPlaced[g] = 1
            self:sprite(name):show(true)
        end
        placed = placed + LF.caveGemsPlaced[g]
    end
    if placed == 0 then
        think("STR_THINK_GOLDEN_DOOR")
        return
    elseif placed < 4 then
        think("STR_THINK_GOLDEN_DOOR_" .. (4 - placed))
        return
    end
    LF.caveGemDoorOpened = true
    LF_updateTasks()
    for g = 1, 4 do
        self:sprite("Gem_" .. g):show(false)
    end
    placeLeaves(self)
    self:createParticleEffect("goldDoor_Trim", "PipesFixed", 30)
    canvas:playSound(SOUNDS.chime)
    self:enableDoor("Bridge", true)
    think("STR_THINK_GOLDEN_DOOR_OPEN")
end

local function onShutGoldenDoor(self, x, y)
    local door = self:sprite("goldDoor")
    return LF.caveMazeScreen == goldenDoor and not LF.caveGemDoorOpened and door:visible() and door:hittest(x, y)
end

-- A point beside the ways of a dead end: a chamber with one way only and
-- no puzzle door.
local function besideDeadEnd(self, x, y)
    local open = 0
    for _, way in ipairs(ways) do
        local area = self:sprite(way)
        if area:hittestAndEnabled(x, y) then
            return false
        end
        open = open + (area:isEnabled() and 1 or 0)
    end
    for _, chamber in ipairs(puzzles) do
        if chamber == LF.caveMazeScreen then
            return false
        end
    end
    return open == 1
end

function room.onClick(self, x, y)
    if onShutGoldenDoor(self, x, y) then
        useGoldenDoor(self)
    elseif besideDeadEnd(self, x, y) then
        think("STR_THINK_CAVE_DEAD_END")
    end
end

rooms["CaveMaze"] = room
