-- AirCompressor.lua: the script of Air Compressor (room 21), the broken
-- compressor, and the table of its class, hv.AirCompressor. The fuses come
-- first: the player carries them from the floor into the three holders and
-- presses TEST, which lights the right ones. With all three right the
-- wires follow: the diodes go into the sockets and START tells whether all
-- four are right; the wrong ones jump back out.
hv = hv or {}
hv.AirCompressor = hv.AirCompressor or {}
rooms = rooms or {}
rooms["AirCompressor"] = roomScript("AirCompressor")

local room = rooms["AirCompressor"]

-- A fresh compressor: no fuse in a holder, every diode at home, TEST
-- inviting a first try.
local function setUp(self)
    self:initFuseGame()
    self:showFuses(true)
    self:initWireGame()
    self:startWireGame(false)
    self:enableButtons(false)
    self:initFlicker("flicker", false)
end

local function pressed(self, name, x, y)
    return self:sprite(name):hittest(x, y)
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
    elseif right == 3 then
        LF.compressorStage = "wires"
        self:startWireGame(true)
        self:enableButtons(true)
        self:initFlicker("pulse", true)
    else
        self:startSparkRoutine(0)
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
    elseif right < 4 then
        self:clearWrongWires()
        self:startSparkRoutine(3)
    else
        LF.compressorStage = "running"
        LF_updateTasks()
        self:sprite("IndicatorLight"):show(true)
        self:initFlicker("glow", true)
        self:doGearSparkles(false)
    end
end

local enter = room.onEnter
function room.onEnter(self, n)
    enter(self, n)
    if not LF.compressorStage then
        LF.compressorStage = "fuses"
        setUp(self)
        self:sprite("IndicatorLight"):show(false)
    end
    self:doGearSparkles(LF.compressorStage ~= "running")
end

function room.onClick(self, x, y)
    if LF.compressorStage == "fuses" then
        local holder = self:getClickedFuseIndex(x, y)
        if holder >= 0 then
            self:placeFuse(holder)
            return
        end
        local fuse = self:getGroundFuseClicked(x, y)
        if fuse ~= "" then
            self:pickUpItem(fuse)
        elseif self:holdingItem() then
            self:dropItem(true)
        elseif pressed(self, "Button_Test", x, y) then
            test(self)
        end
    elseif LF.compressorStage == "wires" and pressed(self, "Button_Start", x, y) then
        start(self)
    end
end
