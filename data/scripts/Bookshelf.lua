-- Bookshelf.lua: the script of Bookshelf (room 27).
rooms = rooms or {}
rooms["Bookshelf"] = roomScript("Bookshelf")

-- The clock's hands set to the time of the riddle.
rooms["Bookshelf"].onClockSolved = function(self, n)
    LF.clockSolved = true
end
