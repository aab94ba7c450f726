-- CaveMaze.lua: the script of Cave Maze (room 31): with the map scroll the
-- cave's map shows, marking the entrance as the player's place.
rooms = rooms or {}
rooms["CaveMaze"] = roomScript("CaveMaze")

local caveSpots = {5, 6, 9, 10, 11, 12, 13, 14, 15, 18, 19, 22}
-- The chamber at the cave's mouth.
local entrance = 22

local enter = rooms["CaveMaze"].onEnter
rooms["CaveMaze"].onEnter = function(self, n)
    enter(self, n)
    if not inventory:hasItem("CaveMapScroll") then
        return
    end
    inventory:showCaveMap(true)
    for _, spot in ipairs(caveSpots) do
        inventory:sprite("CaveMap_Visited_" .. spot):show(spot ~= entrance)
        inventory:sprite("CaveMap_Current_" .. spot):show(spot == entrance)
    end
end

local leave = rooms["CaveMaze"].onExit
rooms["CaveMaze"].onExit = function(self, n)
    inventory:showCaveMap(false)
    leave(self, n)
end
