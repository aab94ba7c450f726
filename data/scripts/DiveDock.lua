-- DiveDock.lua: the script of Dive Dock (room 14). In the second chapter
-- the dive among the clams (the way west) waits for the compressor to fill
-- the air tank.
hv = hv or {}
hv.DiveDock = hv.DiveDock or {}
rooms = rooms or {}
rooms["DiveDock"] = roomScript("DiveDock")

-- The compressor's warning light blinks while the player is on the dock.
local dock = rooms["DiveDock"]
local enterDock = dock.onEnter
dock.onEnter = function(self, n)
    enterDock(self, n)
    self:startCompressorLightRoutine()
    self:enableDoor("WhackAClam", self:getChapterNumber() ~= 2 or LF.compressorStage == "running")
end
dock.onExit = function(self, n)
    self:stopCompressorLightRoutine()
end
-- The second chapter ends on the diving boat, which waits once the call box
-- has answered, the hedge maze is walked, the compressor runs again and the
-- pearls are brought up from the dive.
chapterEndsOn(dock, 2, "DiveBoat", function(self)
    return LF.callBoxSolved and LF.hedgeMazeSolved and LF.compressorStage == "running" and LF.pearlsWon
end)
