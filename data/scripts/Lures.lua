-- Lures.lua: the script of Lures (room 64): the lure keeper's game. His
-- four lures lie in the tray and their shadows on the board above, in
-- another order; a click takes a lure into the hand (a frame marks it) and
-- a click on its own shadow lays it there, while a wrong shadow puts it
-- back (the room takes a lure dragged and let go as a click where it is let
-- go); the line under the tray says how each try went and counts the lures
-- laid. With all four laid the keeper opens the temple gate: the board
-- stands a while with the line saying so (clicks on it do nothing), and the
-- player is back at the landing, where that is told.
rooms = rooms or {}
local lures = roomScript("Lures")
local NAMES = {"Spoon", "Fly", "Plug", "Spinner"}
-- How long the finished board stands before the landing: some two seconds.
local WON_FRAMES = 50
-- The lure in the hand, by name (nil for none).
local held = nil

-- Where each lure lies in the tray.
local home = {}

local function placeLures(self)
    for _, name in ipairs(NAMES) do
        local lure = self:sprite("Lure" .. name)
        home[name] = home[name] or {x = lure:left(), y = lure:top()}
        local at = home[name]
        if LF.lurePlaced[name] then
            local shadow = self:sprite("Shadow" .. name)
            at = {x = shadow:left(), y = shadow:top()}
        end
        lure:setPosition(at)
    end
end

-- The line under the tray: the text item, "%1" the lures laid so far.
local function say(self, id)
    local laid = 0
    for _, name in ipairs(NAMES) do
        if LF.lurePlaced[name] then
            laid = laid + 1
        end
    end
    local line = hv.getResourceString(id):gsub("%%1", tostring(laid))
    self:sprite("Status"):setText(line)
end

local function mark(self, name)
    held = name
    local ring = self:sprite("LureRing")
    if name then
        local lure = self:sprite("Lure" .. name)
        ring:setPosition({x = lure:left() - 8, y = lure:top() - 8})
    end
    ring:show(name ~= nil)
end

local entered = lures.onEnter
lures.onEnter = function(self, n)
    entered(self, n)
    placeLures(self)
    mark(self, nil)
    -- Once won, the tray stays empty and the line says the game is done.
    say(self, LF.luresWon and "STR_LURES_DONE" or "STR_LURES_RULES")
end

function lures.onClick(self, x, y)
    if LF.luresWon then
        return
    end
    for _, name in ipairs(NAMES) do
        local lure = self:sprite("Lure" .. name)
        if not LF.lurePlaced[name] and lure:hittest(x, y) then
            mark(self, name)
            say(self, "STR_LURES_HELD")
            return
        end
    end
    if not held then
        return
    end
    for _, name in ipairs(NAMES) do
        if not LF.lurePlaced[name] and self:sprite("Shadow" .. name):hittest(x, y) then
            if name == held then
                LF.lurePlaced[name] = true
                placeLures(self)
                canvas:playSound(SOUNDS.chime)
                say(self, "STR_LURES_RIGHT")
            else
                say(self, "STR_LURES_WRONG")
            end
            mark(self, nil)
            break
        end
    end
    for _, name in ipairs(NAMES) do
        if not LF.lurePlaced[name] then
            return
        end
    end
    LF.luresWon = true
    LF_updateTasks()
    LF_tellOnArrival("STR_LURES_WON")
    say(self, "STR_LURES_WON")
    self:moveToRoomAfter("IslandLanding", WON_FRAMES)
end

rooms["Lures"] = lures
