-- Bookshelf.lua: the script of Bookshelf (room 27) and the table of its
-- class, hv.Bookshelf. The room sorts its sixteen things itself; the script
-- keeps the rest of the wall's errand: the sorted shelf gives up a note with
-- the clock's time, the clock set to it shows its key, the key opens the
-- drawer (which says it is locked until then, and what it holds once
-- opened), and the map in the drawer is the caves' map of the inventory.
hv = hv or {}
hv.Bookshelf = hv.Bookshelf or {}
rooms = rooms or {}
rooms["Bookshelf"] = roomScript("Bookshelf")

local room = rooms["Bookshelf"]

local function hit(self, name, x, y)
    local part = self:sprite(name)
    return part ~= nil and part:visible() and part:hittest(x, y)
end

-- The key hangs in the clock once the clock is set, until it opens the drawer.
local function showKey(self, shown)
    self:sprite("KeyOnClock"):show(shown)
    self:sprite("KeyClickRect"):enable(shown)
    if shown then
        self:startKeyTwinkle()
    end
end

local function keyShown(self)
    return self:sprite("KeyOnClock"):visible()
end

-- The drawer under the bookcase, as the room's picture draws it shut.
local function onDrawer(x, y)
    return x >= 352 and x < 570 and y >= 532 and y < 594
end

-- The clock shows the note's time once it is set.
local function showClock(self)
    self:sprite("Clock"):setFrame(LF.clockSolved and 1 or 0)
end

local enter = room.onEnter
function room.onEnter(self, n)
    enter(self, n)
    -- A key carried out of the room last time is back in the clock.
    if self:isKeyOnCursor() then
        self:putKeyOnClock()
    end
    local open = LF.bookshelfDrawerOpen == true
    self:sprite("DrawerOpen"):show(open)
    self:sprite("DrawerMap"):show(open and not LF.bookshelfMapTaken)
    showKey(self, LF.clockSolved == true and not open)
    showClock(self)
end

function room.onClick(self, x, y)
    if self:isKeyOnCursor() then
        -- The key opens the drawer, or hangs back in the clock (a click on
        -- its own hook would take it down again at once).
        if onDrawer(x, y) then
            LF.bookshelfDrawerOpen = true
            self:useKeyOnDrawer()
            think("STR_THINK_DRAWER_OPEN")
        elseif hit(self, "Clock", x, y) and not self:sprite("KeyClickRect"):hittest(x, y) then
            self:putKeyOnClock()
        end
    elseif hit(self, "Clock", x, y) and not (keyShown(self) and self:sprite("KeyClickRect"):hittest(x, y)) then
        -- The clock's close-up, once the note with its time is found and
        -- until the clock is set.
        if not LF.bookshelfSorted then
            think("STR_THINK_BOOKSHELF_MESS")
        elseif not LF.clockSolved then
            hidePlayer()
            self:enterClockCU()
        end
    elseif keyShown(self) and self:sprite("KeyClickRect"):hittest(x, y) then
        -- The room takes the key onto the pointer, right where it hung: the
        -- player says it is taken.
        think("STR_THINK_CLOCK_KEY_TAKEN")
    elseif hit(self, "DrawerMap", x, y) then
        -- The bar is put away here: the player says what was taken.
        LF.bookshelfMapTaken = true
        self:sprite("DrawerMap"):show(false)
        LF_giveItem("CaveMapScroll")
        think("STR_THINK_DRAWER_MAP")
    elseif onDrawer(x, y) and not LF.bookshelfDrawerOpen then
        think(LF.clockSolved and "STR_THINK_DRAWER_KEY" or "STR_THINK_DRAWER_LOCKED")
    end
end

function room.onFixedAllItems(self, n)
    LF.bookshelfSorted = true
    LF_showTaskCompleted()
    think("STR_THINK_BOOKSHELF_RIDDLE")
end

-- The clock's hands set to the time of the note: the close-up closes and
-- the key shows.
function room.onClockSolved(self, n)
    LF.clockSolved = true
    LF_updateTasks()
    showClock(self)
    self:exitClockCU()
    showKey(self, true)
    think("STR_THINK_CLOCK_KEY")
end
