-- Room.lua: the Lua class of every room, the table `rooms` that the room
-- scripts fill (one entry per room, keyed by the room's name), and the
-- callbacks every room has, which a room's script then changes as it needs.
hv = hv or {}
hv.Room = hv.Room or {}
rooms = rooms or {}

-- The canvas's sound table by name (the <sounds> of the data manifest).
SOUNDS = { waves = 1, gull = 2, stream = 3, birds = 4, crickets = 5, chime = 6, ending = 8 }

function roomScript(name)
    return {
        onEnter = function(self, n)
            LF_roomEntered(name, self)
        end,
        onExit = function(self, n)
        end,
        onClick = function(self, x, y)
        end,
        -- An item from the bar that the room has no use for goes back, and
        -- the player says so.
        onUse = function(self, x, y)
            canvas:dropInvalidCursorItem()
            think("STR_THINK_NO_USE")
        end,
        resetGlobalItems = function(self, n)
        end,
    }
end

-- A room whose board fills the middle of the screen, where the balloon
-- beside the figure's head would cover it, has the player's thoughts stand
-- with their top left corner at (x, y) while it is the current room: the
-- place is THOUGHT_PLACE, which think (Character.lua) reads and every room
-- entered clears (LF_roomEntered); nil leaves them beside the figure.
function thinkingAt(room, x, y)
    local enter, exit = room.onEnter, room.onExit
    room.onEnter = function(self, n)
        enter(self, n)
        THOUGHT_PLACE = {x, y}
    end
    room.onExit = function(self, n)
        THOUGHT_PLACE = nil
        exit(self, n)
    end
    return room
end

-- A click on the room's shown sprite `name` runs hit(self, spot) and goes no
-- further; every other click goes on to the room's click as before.
function clickingSpot(room, name, hit)
    local click = room.onClick
    room.onClick = function(self, x, y)
        local spot = self:sprite(name)
        if spot and spot:visible() and spot:hittest(x, y) then
            hit(self, spot)
            return
        end
        click(self, x, y)
    end
    return room
end

-- A treasure lying in the room, its sprite "Item_<name>": a click on it puts
-- it into the inventory bar (and calls found(self) when given, or has the
-- player think found when it is a text item: what was taken), and once found
-- it is not there again.
function collectible(room, name, found)
    local enter = room.onEnter
    room.onEnter = function(self, n)
        local spot = self:sprite("Item_" .. name)
        if spot then
            spot:show(not LF_itemFound(name))
        end
        enter(self, n)
    end
    return clickingSpot(room, "Item_" .. name, function(self, spot)
        spot:show(false)
        LF_findItem(name)
        if type(found) == "string" then
            think(found)
        elseif found then
            found(self)
        end
    end)
end
-- A room's callbacks whose entry, after the common steps, runs entered(self):
-- the room's own animals, sounds and sparkles.
function roomScriptEntering(name, entered)
    local room = roomScript(name)
    local enter = room.onEnter
    room.onEnter = function(self, n)
        enter(self, n)
        entered(self)
    end
    return room
end

-- The sound-table clip `id` plays looped while the player is in the room,
-- its volume following the effects volume.
function loopWhileInRoom(room, id)
    local enter, exit = room.onEnter, room.onExit
    room.onEnter = function(self, n)
        enter(self, n)
        canvas:loopSound(id)
        self:addAmbientAudioLoop(id)
    end
    room.onExit = function(self, n)
        canvas:stopSound(id)
        self:removeAmbientAudioLoop(id)
        exit(self, n)
    end
end

-- A room with a peg board, its sprite "PegBoard" (the board and its label):
-- a click on it opens peg puzzle n in the canvas's close-up (which grows
-- from the point the canvas gives each puzzle); the close-up's close button
-- asks the room to set the puzzle up again, and a won board is told to
-- rooms.OuterVillage_1.
local function onPegBoard(self, px, py)
    return self:sprite("PegBoard"):hittest(px, py)
end
function withPegBoard(room, n)
    local click = room.onClick
    room.onClick = function(self, px, py)
        if not LF.pegsOpen and onPegBoard(self, px, py) then
            LF.pegsOpen = true
            hidePlayer()
            canvas:enterPegsCU(n)
            -- A board won before is laid out afresh: the line under it says
            -- it is won already, until the first jump.
            local board = LF.pegsSolved[n] and canvas:sprite("PegsCU")
            local line = board and board:sprite("Status")
            if line then
                line:setText(hv.getResourceString("STR_PEGS_DONE"))
                line:show(true)
            end
        else
            click(self, px, py)
        end
    end
    room.setupPuzzle = function(self, k)
        LF.pegsOpen = false
    end
    return room
end

-- A peg board that lacks its own peg, "Peg_<n>" of the inventory: the peg
-- dropped on the board sets it in (the room's sprite "BoardPeg" shows it),
-- the player says so, and only then does a click on the board open the
-- puzzle (before, the player remarks on the missing peg). Another board's
-- peg goes back, and the player says it is not this board's colour.
function withPegBoardLackingPeg(room, n)
    local peg = "Peg_" .. n
    withPegBoard(room, n)
    local enter, use, click = room.onEnter, room.onUse, room.onClick
    room.onEnter = function(self, k)
        enter(self, k)
        -- No close-up is open as the room is entered, even when the game
        -- was saved with one open.
        LF.pegsOpen = false
        self:sprite("BoardPeg"):show(LF.pegSet[n] == true)
    end
    room.onUse = function(self, px, py)
        if canvas:getItemOnCursor() == peg and onPegBoard(self, px, py) then
            canvas:dropSpecialCursor()
            LF_takeItem(peg)
            LF.pegSet[n] = true
            self:sprite("BoardPeg"):show(true)
            canvas:playSound(SOUNDS.chime)
            think("STR_THINK_PEG_SET")
            return
        end
        local held = canvas:getItemOnCursor()
        if held and held:find("^Peg_") and onPegBoard(self, px, py) then
            canvas:dropInvalidCursorItem()
            think("STR_THINK_PEG_WRONG")
            return
        end
        use(self, px, py)
    end
    room.onClick = function(self, px, py)
        if not LF.pegSet[n] and onPegBoard(self, px, py) then
            think("STR_THINK_PEGLESS")
            return
        end
        click(self, px, py)
    end
    return room
end

-- A chapter's last step: the room's sprite `name` shows while done(self)
-- answers true in that chapter, and a click on it ends the chapter. The
-- sprite is checked again on every entry and whenever the room's script
-- calls room.showChapterEnd(self).
function chapterEndsOn(room, chapter, name, done)
    local enter = room.onEnter
    room.showChapterEnd = function(self)
        self:sprite(name):show(self:getChapterNumber() == chapter and done(self) == true)
    end
    room.onEnter = function(self, n)
        enter(self, n)
        room.showChapterEnd(self)
    end
    return clickingSpot(room, name, function(self)
        self:endChapter()
    end)
end

-- The exits the story keeps shut for now, by their sprites ("Door<n>"): a
-- click on one while it is shut makes the player think why, a text item (or
-- a function of the room that names the text that fits the story now);
-- every other click goes on to the room's click as before.
function saysWhyShut(room, ways)
    local click = room.onClick
    room.onClick = function(self, x, y)
        for door, thought in pairs(ways) do
            local way = self:sprite(door)
            if way and way:hittest(x, y) and not way:hittestAndEnabled(x, y) then
                think(type(thought) == "function" and thought(self) or thought)
                return
            end
        end
        click(self, x, y)
    end
    return room
end
