-- Room.lua: the Lua class of every room, the table `rooms` that the room
-- scripts fill (one entry per room, keyed by the room's name), and the
-- callbacks every room has, which a room's script then changes as it needs.
hv = hv or {}
hv.Room = hv.Room or {}
rooms = rooms or {}

function roomScript(name)
    return {
        onEnter = function(self, n)
            LF_roomEntered(name)
        end,
        onExit = function(self, n)
        end,
        onClick = function(self, x, y)
        end,
        -- An item from the bar that the room has no use for goes back.
        onUse = function(self, x, y)
            canvas:dropInvalidCursorItem()
        end,
        resetGlobalItems = function(self, n)
        end,
    }
end

-- A treasure lying in the room, its sprite "Item_<name>": a click on it puts
-- it into the inventory bar (and calls found(self) when given), and once found
-- it is not there again.
function collectible(room, name, found)
    local enter = room.onEnter
    local click = room.onClick
    room.onEnter = function(self, n)
        local spot = self:sprite("Item_" .. name)
        if spot then
            spot:show(not LF_itemFound(name))
        end
        enter(self, n)
    end
    room.onClick = function(self, x, y)
        local spot = self:sprite("Item_" .. name)
        if spot and spot:visible() and spot:hittest(x, y) then
            spot:show(false)
            LF_findItem(name)
            if found then
                found(self)
            end
            return
        end
        click(self, x, y)
    end
    return room
end
