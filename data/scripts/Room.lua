-- Room.lua: the Lua class of every room, and the table `rooms` that the
-- room scripts fill, one entry per room, keyed by the room's name.
hv = hv or {}
hv.Room = hv.Room or {}
rooms = rooms or {}
