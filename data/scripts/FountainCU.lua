-- FountainCU.lua: the script of Fountain close-up (room 7) and the table of
-- its class, hv.FountainCU. The valve door opens at the first click on it,
-- the next drains the scummy water; the key then lies free at the bottom and
-- opens the pipe door; the pipes are mended in their close-up; and a last
-- click on the valve turns the clean water on, which the market tells of.
-- The player says what the key is for, and when it falls back; where it lies
-- when the locked pipe door is clicked, and why it cannot be reached yet;
-- that the key opened the door, and that the pipes are joined once mended.
hv = hv or {}
hv.FountainCU = hv.FountainCU or {}
rooms = rooms or {}
local room = roomScript("FountainCU")

-- The room shows what the story has done so far, on every visit and after
-- a restart alike.
local entered = room.onEnter
room.onEnter = function(self, n)
    entered(self, n)
    local function show(name, visible)
        self:sprite(name):show(visible)
    end
    -- The pictures that start hidden show their one picture once shown.
    for _, name in ipairs({ "ValveDoorOpen", "ValveTurnAnim", "PipeDoorOpenBroken", "PipeDoorOpenFixed" }) do
        self:sprite(name):setFrame(0)
    end
    local valveOpen = LF.fountainValveOpen == true
    show("ClosedValveDoor", not valveOpen)
    show("ValveDoorOpen", valveOpen)
    show("ValveTurnAnim", valveOpen)
    if LF.fountainDrained then
        self:sprite("ScumWaterScaler"):setScale(0.2)
    end
    -- The key lies in the basin until it opens the pipe door.
    local doorOpen = LF.fountainPipeDoorOpen == true
    show("KeyInFountain", not doorOpen)
    show("PipeDoorOpenBroken", doorOpen and not LF.fountainPipesFixed)
    show("PipeDoorOpenFixed", doorOpen and LF.fountainPipesFixed == true)
end

function room.clickOnValveDoor(self)
    if not LF.fountainValveOpen then
        LF.fountainValveOpen = true
        self:openValveDoor()
    elseif not LF.fountainDrained then
        LF.fountainDrained = true
        self:drainWaterFromFountain()
        LF_updateTasks()
    elseif LF.fountainPipesFixed and not LF.fountainFixedWaterOn then
        LF.fountainFixedWaterOn = true
        self:turnOnFixedWater()
        LF_updateTasks()
        LF_tellOnArrival("STR_FOUNTAIN_RUNS")
    end
end

function room.clickOnKeyInFountain(self)
    if not LF.fountainDrained then
        think("STR_THINK_FOUNTAIN_SCUM")
    elseif not LF.fountainPipeDoorOpen then
        self:pickupKey()
        think("STR_THINK_FOUNTAIN_KEY")
    end
end

-- A click anywhere but on the pipe door or the Leave button lets a held key
-- fall back into the basin.
function room.onClick(self, x, y)
    for _, name in ipairs({ "PipesClickRect", "CloseButton" }) do
        if self:sprite(name):hittest(x, y) then
            return
        end
    end
    if self:putKeyInFountain() then
        think("STR_THINK_FOUNTAIN_KEY_BACK")
    end
end

function room.clickOnPipeDoor(self)
    if not LF.fountainPipeDoorOpen then
        if self:useKeyOnPipeDoor() then
            LF.fountainPipeDoorOpen = true
            think("STR_THINK_PIPE_DOOR_OPEN")
        else
            -- Locked: the player says where its key lies.
            think(LF.fountainDrained and "STR_THINK_PIPE_DOOR_KEY" or "STR_THINK_PIPE_DOOR_LOCKED")
        end
    elseif not LF.fountainPipesFixed then
        self:enterPipesCU()
    end
end

-- Heard as the mended board shrinks back into the door: the thought stands
-- over it and stays as the fountain shows again.
function room.setFountainFixedPipes(self)
    LF.fountainPipesFixed = true
    LF_updateTasks()
    think("STR_THINK_PIPES_JOINED")
end

rooms["FountainCU"] = room
