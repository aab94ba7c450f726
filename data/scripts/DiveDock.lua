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
-- The second chapter ends on the diving boat, which waits once the call box
-- has answered, the hedge maze is walked and the compressor runs again.
chapterEndsOn(dock, 2, "DiveBoat", function(self)
    return LF.callBoxSolved and LF.hedgeMazeSolved and LF.compressorStage == "running"
end)
