-- FountainCU.lua: the script of Fountain close-up (room 7) and the table of
-- its class, hv.FountainCU. The valve door opens at the first click on it,
-- the next drains the scummy water; the key then lies free at the bottom and
-- opens the pipe door; the pipes are mended in their close-up; and a last
-- click on the valve turns the clean water on.
hv = hv or {}
hv.FountainCU = hv.FountainCU or {}
rooms = rooms or {}
local room = roomScript("FountainCU")

-- What an earlier visit did stays done.
local entered = room.onEnter
room.onEnter = function(self, n)
    entered(self, n)
    local function show(name, visible)
        self:sprite(name):show(visible)
    end
    if LF.fountainValveOpen then
        show("ClosedValveDoor", false)
        show("ValveDoorOpen", true)
        show("ValveTurnAnim", true)
    end
    if LF.fountainDrained then
        self:sprite("ScumWaterScaler"):setScale(0.2)
    end
    if LF.fountainPipeDoorOpen then
        show("KeyInFountain", false)
        show("PipeDoorOpenBroken", not LF.fountainPipesFixed)
        show("PipeDoorOpenFixed", LF.fountainPipesFixed)
    end
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
    end
end

function room.clickOnKeyInFountain(self)
    if LF.fountainDrained and not LF.fountainPipeDoorOpen then
        self:pickupKey()
    end
end

function room.clickOnPipeDoor(self)
    if not LF.fountainPipeDoorOpen then
        if self:useKeyOnPipeDoor() then
            LF.fountainPipeDoorOpen = true
        end
    elseif not LF.fountainPipesFixed then
        self:enterPipesCU()
    end
end

function room.setFountainFixedPipes(self)
    LF.fountainPipesFixed = true
    LF_updateTasks()
end

rooms["FountainCU"] = room
