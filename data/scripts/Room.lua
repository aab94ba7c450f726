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
        onUse = function(self, x, y)
        end,
        resetGlobalItems = function(self, n)
        end,
    }
end
