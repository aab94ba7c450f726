-- ViewFinder.lua: the script of View Finder (room 53), the mansion's
-- telescope at the hallway's window. Four dials (an arrow up and down each)
-- set its bearing, and the look button looks (the view stands until a dial
-- turns): at the bearing on the card from the hallway the telescope shows
-- where the study's key is hidden, and in the fifth chapter the study door
-- opens.
rooms = rooms or {}
local finder = roomScript("ViewFinder")

-- The bearing on the card, dial by dial.
local BEARING = {3, 9, 0, 5}
local dials = {0, 0, 0, 0}

local function showDial(self, i)
    self:sprite("Number" .. i):setText(tostring(dials[i + 1]))
end

-- A dial turned: what the last look showed was another bearing's, so the
-- view goes until the next look.
local function turnDial(self, i, step)
    dials[i + 1] = (dials[i + 1] + step) % 10
    showDial(self, i)
    self:sprite("View"):show(false)
end

local enterFinder = finder.onEnter
finder.onEnter = function(self, n)
    enterFinder(self, n)
    for i = 0, 3 do
        self:sprite("number" .. i .. "_ArrowUp"):enable(true)
        self:sprite("number" .. i .. "_ArrowDown"):enable(true)
        dials[i + 1] = 0
        showDial(self, i)
    end
    self:sprite("LookBtn"):enable(true)
    self:sprite("View"):show(false)
end

local function onBearing()
    for i = 1, 4 do
        if dials[i] ~= BEARING[i] then
            return false
        end
    end
    return true
end

finder.onClick = function(self, x, y)
    for i = 0, 3 do
        if self:sprite("number" .. i .. "_ArrowUp"):hittestAndEnabled(x, y) then
            turnDial(self, i, 1)
            return
        end
        if self:sprite("number" .. i .. "_ArrowDown"):hittestAndEnabled(x, y) then
            turnDial(self, i, 9)
            return
        end
    end
    if self:sprite("LookBtn"):hittestAndEnabled(x, y) then
        -- Frame 0 is the dark sea, frame 1 the key in the hallway's clock.
        local found = onBearing()
        local view = self:sprite("View")
        view:setFrame(found and 1 or 0)
        view:show(true)
        if found and not LF.viewFinderSolved then
            LF.viewFinderSolved = true
            LF_updateTasks()
            canvas:playSound(SOUNDS.chime)
            think("STR_THINK_VIEWFINDER")
        end
    end
end
rooms["ViewFinder"] = finder
