-- Bridge.lua: the script of Bridge (room 32), and the table of its class,
-- hv.Bridge. Until the bridge is up, each visit starts a round of the memory
-- game from the counters of Lanternfield.lua once the player clicks the
-- stones, under its rules and a lamp per round remembered; a wrong stone
-- says so, on a band under the stones that stands a moment, and the round
-- starts again with a new sequence when the player clicks the stones once
-- more; a finished one
-- lights its lamp and starts the next, and the last round of the last set
-- raises the bridge (the rules and lamps go, the player says so) and opens
-- the way east. Coming out of the cave here the player finds the overgrown
-- path to the jungle from this side, and it stays open in the third
-- chapter; the raised bridge stays up in the chapters after the third,
-- whose way back to the jungle the story keeps shut (Lanternfield.lua), as a
-- click on it says; so does one on the way east while the bridge is down.
-- Over it lies the inner sanctum, where the chapter ends.
hv = hv or {}
hv.Bridge = hv.Bridge or {}
rooms = rooms or {}

-- Two sets of two rounds, as the room's numbers say.
local ROUNDS = 4
local room = roomScript("Bridge")

-- The lamps of the rounds remembered so far.
local function showRounds(self)
    for k = 1, ROUNDS do
        self:sprite("RoundLamp_" .. k):setFrame(LF_getBridgeCurrentMatch() >= k and 1 or 0)
    end
end

-- The bridge up, or the stones with their rules and rounds (the word on a
-- wrong stone waits for one).
local function showBridge(self, up)
    self:sprite("Planks"):show(up)
    self:sprite("DoorToInnerSanctumWithBridge"):enable(up)
    self:enableDoor("InnerSanctum", up)
    for k = 1, 4 do
        self:sprite("bChoice" .. k):show(not up)
    end
    self:sprite("StonesPanel"):show(not up)
    for k = 1, ROUNDS do
        self:sprite("RoundLamp_" .. k):show(not up)
    end
    self:sprite("WrongStone"):show(false)
    showRounds(self)
end

local function isUp(self)
    return LF.bridgeSolved == true or self:getChapterNumber() > 3
end

-- The stones show their first sequence of a visit, and a new one after a
-- wrong stone, when the player clicks their panel, so that the player sees
-- all of it.
local waiting = false

local entered = room.onEnter
room.onEnter = function(self, n)
    entered(self, n)
    LF.bridgeReached = true
    showBridge(self, isUp(self))
    waiting = not isUp(self)
end

function room.onClick(self, x, y)
    local panel = self:sprite("StonesPanel")
    -- The band of a wrong stone stands a moment first: the clicks that went
    -- on with the order do not take it away unread.
    if self:sprite("WrongStone"):isAnimating() then
        return
    end
    if waiting and panel:visible() and panel:hittest(x, y) then
        waiting = false
        self:sprite("WrongStone"):show(false)
        self:setState("start")
    end
end

function room.onCorrectAnswer(self, set)
    self:sprite("WrongStone"):show(false)
    showRounds(self)
    if LF_getBridgeCurrentMatch() >= ROUNDS then
        LF.bridgeSolved = true
        showBridge(self, true)
        LF_updateTasks()
        canvas:playSound(SOUNDS.chime)
        think("STR_THINK_BRIDGE_UP")
    else
        self:setState("endround")
    end
end

function room.onWrongAnswer(self, n)
    local band = self:sprite("WrongStone")
    band:show(true)
    band:setAlphaBalance(0.5)
    band:setAlphaDestination(1.0, 40)
    waiting = true
end

saysWhyShut(room, {Door0 = "STR_THINK_BRIDGE_DOWN", Door1 = "STR_THINK_BRIDGE_JUNGLE_SHUT"})
-- The player's thoughts stand under the band of a wrong stone, right of the
-- figure, where they cover no stone, lamp or band.
thinkingAt(room, 228, 382)
rooms["Bridge"] = room
