-- Bookshelf.lua: the script of Bookshelf (room 27) and the table of its
-- class, hv.Bookshelf. The room sorts its sixteen things itself; the script
-- keeps the key's way from the clock to the drawer and the map in it.
hv = hv or {}
hv.Bookshelf = hv.Bookshelf or {}
rooms = rooms or {}
rooms["Bookshelf"] = roomScript("Bookshelf")

local room = rooms["Bookshelf"]

local function hit(self, name, x, y)
    local part = self:sprite(name)
    return part ~= nil and part:visible() and part:hittest(x, y)
end

local enter = room.onEnter
function room.onEnter(self, n)
    enter(self, n)
    -- A new game: the drawer shut again and the key back on the clock.
    if not LF.bookshelfDrawerOpen then
        self:sprite("DrawerOpen"):show(false)
        self:sprite("DrawerMap"):show(false)
        if not self:isKeyOnCursor() and not self:sprite("KeyOnClock"):visible() then
            self:pickupKey()
            self:putKeyOnClock()
        end
    end
    if self:sprite("KeyOnClock"):visible() then
        self:startKeyTwinkle()
    end
end

function room.onClick(self, x, y)
    if self:isKeyOnCursor() then
        -- The key opens the drawer, or hangs back on the clock (a click on
        -- its own hook would take it down again at once).
        if x < 240 and y > 470 then
            LF.bookshelfDrawerOpen = true
            self:useKeyOnDrawer()
        elseif hit(self, "Clock", x, y) and not self:sprite("KeyClickRect"):hittest(x, y) then
            self:putKeyOnClock()
        end
    elseif hit(self, "Clock", x, y) and not hit(self, "KeyClickRect", x, y) then
        -- The clock's close-up: set its hands to the riddle's time.
        self:enterClockCU()
    elseif hit(self, "DrawerMap", x, y) then
        LF.bookshelfMapTaken = true
        self:sprite("DrawerMap"):show(false)
    end
end

function room.onFixedAllItems(self, n)
    LF.bookshelfSorted = true
    LF_showTaskCompleted()
end

-- The clock's hands set to the time of the riddle: the close-up closes.
function room.onClockSolved(self, n)
    LF.clockSolved = true
    self:exitClockCU()
end
