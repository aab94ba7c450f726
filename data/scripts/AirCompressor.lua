-- AirCompressor.lua: the script of Air Compressor (room 21), the broken
-- compressor, and the table of its class, hv.AirCompressor. The fuses come
-- first: the player carries them from the floor into the three holders and
-- presses TEST, which lights the right ones. With all three right the
-- wires follow: the diodes go into the sockets and START tells whether all
-- four are right; the wrong ones jump back out. A note under the fuse box
-- tells the player what to do next and how the last try went.
hv = hv or {}
hv.AirCompressor = hv.AirCompressor or {}
rooms = rooms or {}
rooms["AirCompressor"] = roomScript("AirCompressor")

local room = rooms["AirCompressor"]

-- The note under the fuse box: the text item, its "%1" replaced by n.
local function tell(self, id, n)
    local text = hv.getResourceString(id)
    if n then
        text = string.gsub(text, "%%1", tostring(n))
    end
    self:sprite("StatusText"):setText(text)
end

-- Whether this run of the program has laid the board out: the fuses in
-- their holders are not saved, and a board never laid out shows both of
-- its buttons lit.
local laidOut = false

-- A fresh compressor: no fuse in a holder, every diode at home, TEST
-- inviting a first try.
local function setUp(self)
    self:initFuseGame()
    self:showFuses(true)
    self:initWireGame()
    self:startWireGame(false)
    self:enableButtons(false)
    self:initFlicker("flicker", false)
    laidOut = true
end

local function pressed(self, name, x, y)
    return self:sprite(name):hittest(x, y)
end

-- The wires have power: the diodes take clicks and drags, START pulses.
local function openWires(self)
    self:startWireGame(true)
    self:enableButtons(true)
    self:initFlicker("pulse", true)
end

-- The compressor runs: its light on, START glowing, the gear quiet.
local function run(self)
    self:sprite("IndicatorLight"):show(true)
    self:initFlicker("glow", true)
    self:doGearSparkles(false)
end

-- TEST: an empty holder sparks; otherwise the right fuses light up, and
-- with all three right the wires come next.
local function test(self)
    self:pressButton("Button_Test", true)
    self:pressButton("Button_Test", false)
    local right = self:getNumCorrectFuses()
    self:lightFuses(true)
    if right < 0 then
        self:startSparkRoutine(1)
        tell(self, "STR_AIRCOMP_HOLDER_EMPTY")
    elseif right == 3 then
        LF.compressorStage = "wires"
        openWires(self)
        tell(self, "STR_AIRCOMP_WIRES")
    else
        self:startSparkRoutine(0)
        tell(self, "STR_AIRCOMP_FUSES_RIGHT", right)
    end
end

-- START: with a socket empty the sockets spark; with a wrong diode the
-- wrong ones go home; with all four right the compressor runs.
local function start(self)
    self:pressButton("Button_Start", true)
    self:pressButton("Button_Start", false)
    local right = self:getWiringStatus()
    if right < 0 then
        self:startSparkRoutine(2)
        tell(self, "STR_AIRCOMP_SOCKET_EMPTY")
    elseif right < 4 then
        self:clearWrongWires()
        self:startSparkRoutine(3)
        tell(self, "STR_AIRCOMP_WIRES_RIGHT", right)
    else
        LF.compressorStage = "running"
        LF_updateTasks()
        run(self)
        tell(self, "STR_AIRCOMP_RUNNING")
    end
end

-- A diode let go: the note follows the sockets, ready for START once all
-- four hold a diode, else what to do.
function room.onDiodeDropped(self)
    tell(self, self:getWiringStatus() >= 0 and "STR_AIRCOMP_START_READY" or "STR_AIRCOMP_WIRES")
end

-- What the note says as the player comes in at each stage.
local STAGE_NOTES = {fuses = "STR_AIRCOMP_FUSES", wires = "STR_AIRCOMP_WIRES", running = "STR_AIRCOMP_RUNNING"}

local enter = room.onEnter
function room.onEnter(self, n)
    enter(self, n)
    if not LF.compressorStage then
        LF.compressorStage = "fuses"
        setUp(self)
        self:sprite("IndicatorLight"):show(false)
    elseif LF.compressorStage == "fuses" and not laidOut then
        -- A game saved at the fuses and started again: the board afresh.
        setUp(self)
    elseif LF.compressorStage ~= "fuses" and self:getNumCorrectFuses() ~= 3 then
        -- A game saved past the fuses and started again: the board shows
        -- what the player did.
        self:fitRightParts(LF.compressorStage == "running")
        if LF.compressorStage == "running" then
            run(self)
        else
            openWires(self)
        end
    end
    self:doGearSparkles(LF.compressorStage ~= "running")
    tell(self, STAGE_NOTES[LF.compressorStage])
end

-- A diode under the point (the wiring panel's own clicks come first once
-- the wires have power).
local function onDiode(self, x, y)
    for d = 1, 4 do
        if pressed(self, "Diode" .. d, x, y) then
            return true
        end
    end
    return false
end

function room.onClick(self, x, y)
    if LF.compressorStage == "fuses" then
        local holder = self:getClickedFuseIndex(x, y)
        if holder >= 0 then
            -- The note follows the holders: ready for TEST once all three
            -- hold a fuse, else what to do.
            self:placeFuse(holder)
            tell(self, self:getNumCorrectFuses() >= 0 and "STR_AIRCOMP_TEST_READY" or "STR_AIRCOMP_FUSES")
            return
        end
        local fuse = self:getGroundFuseClicked(x, y)
        if fuse ~= "" then
            self:pickUpItem(fuse)
            return
        end
        -- A fuse in hand goes back to the floor; a button pressed with it
        -- does its work all the same.
        if self:holdingItem() then
            self:dropItem(true)
        end
        if pressed(self, "Button_Test", x, y) then
            test(self)
        elseif onDiode(self, x, y) or pressed(self, "Button_Start", x, y) then
            tell(self, "STR_AIRCOMP_NO_POWER")
        end
    elseif LF.compressorStage == "wires" and pressed(self, "Button_Start", x, y) then
        start(self)
    end
end
