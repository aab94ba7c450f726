-- CaveEntrance.lua: the script of Cave Entrance (room 30): going into the
-- cave always starts in the maze's first chamber. On the island's errand the
-- player goes in only with the caves' map from the bookshelf.
rooms = rooms or {}
local room = roomScript("CaveEntrance")

local function mayGoIn(self)
    return self:getChapterNumber() ~= 3 or inventory:hasItem("CaveMapScroll")
end

local entered = room.onEnter
room.onEnter = function(self, n)
    entered(self, n)
    LF.caveMazeScreen = 22
    local open = mayGoIn(self)
    self:enableDoor("CaveMaze", open)
    self:sprite("DoorToCave"):enable(open)
end

function room.onClick(self, x, y)
    if not mayGoIn(self) and self:sprite("DoorToCave"):hittest(x, y) then
        think("STR_THINK_CAVE_DARK")
    end
end

rooms["CaveEntrance"] = room
