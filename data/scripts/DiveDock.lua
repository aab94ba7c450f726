-- DiveDock.lua: the script of Dive Dock (room 14).
-- A treasure lies here: Pearls.
hv = hv or {}
hv.DiveDock = hv.DiveDock or {}
rooms = rooms or {}
rooms["DiveDock"] = collectible(roomScript("DiveDock"), "Pearls")

-- The compressor's warning light blinks while the player is on the dock.
local dock = rooms["DiveDock"]
local enterDock = dock.onEnter
dock.onEnter = function(self, n)
    enterDock(self, n)
    self:startCompressorLightRoutine()
end
dock.onExit = function(self, n)
    self:stopCompressorLightRoutine()
end
