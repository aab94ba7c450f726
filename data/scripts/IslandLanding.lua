-- IslandLanding.lua: the script of Island Landing (room 57), where the
-- fisherman's boat lands: waves and gulls, and the gate across the temple
-- path north, which the lure keeper opens once his lures are sorted (in
-- Lures, east). The way west along the beach stays shut: the wind race its
-- exit joins was sailed in the harbour, so its box names the beach; a click
-- on it or on the shut gate says why.
rooms = rooms or {}
local landing = roomScript("IslandLanding")
local entered = landing.onEnter
landing.onEnter = function(self, n)
    entered(self, n)
    self:addAmbientSound({ id = SOUNDS.gull, startMin = 60, startMax = 150, min = 200, max = 400 })
    local open = LF.luresWon == true
    self:enableDoor("Temple1", open)
    self:sprite("TempleGate"):show(not open)
    -- The keeper's word on the gate goes with the gate.
    local note = self:sprite("Note")
    note:setText(hv.getResourceString("STR_NOTE_LANDING"))
    note:show(not open)
end
loopWhileInRoom(landing, SOUNDS.waves)
saysWhyShut(landing, {Door0 = "STR_THINK_TEMPLE_GATE_SHUT", Door2 = "STR_THINK_LANDING_BEACH"})
rooms["IslandLanding"] = landing
