-- DiveDock.lua: the script of Dive Dock (room 14). In the second chapter
-- the dive among the clams (the way west) waits for the compressor to fill
-- the air tank.
hv = hv or {}
hv.DiveDock = hv.DiveDock or {}
rooms = rooms or {}
rooms["DiveDock"] = roomScript("DiveDock")

-- The dive is the second chapter's, and needs the air the mended compressor
-- fills the tank with.
local function diveOpen(self)
    return self:getChapterNumber() == 2 and LF.compressorStage == "running"
end

-- The compressor's warning light blinks while the player is on the dock,
-- until the compressor runs again.
local dock = rooms["DiveDock"]
local enterDock = dock.onEnter
dock.onEnter = function(self, n)
    enterDock(self, n)
    if LF.compressorStage == "running" then
        self:stopCompressorLightRoutine()
    else
        self:startCompressorLightRoutine()
    end
    self:enableDoor("WhackAClam", diveOpen(self))
end
dock.onExit = function(self, n)
    self:stopCompressorLightRoutine()
end
-- A click on the shut way to the dive says why it is shut.
dock.onClick = function(self, x, y)
    local way = self:sprite("Door2")
    if way and way:hittest(x, y) and not diveOpen(self) then
        think("STR_THINK_DIVE_NO_AIR")
    end
end
-- The second chapter ends on the diving boat, which waits once the call box
-- has answered, the hedge maze is walked, the compressor runs again and the
-- pearls are brought up from the dive.
chapterEndsOn(dock, 2, "DiveBoat", function(self)
    return LF.callBoxSolved and LF.hedgeMazeSolved and LF.compressorStage == "running" and LF.pearlsWon
end)
-- The pearls taken from the bar onto the waiting boat board it, as a click
-- on it does.
local useOnDock = dock.onUse
dock.onUse = function(self, x, y)
    local boat = self:sprite("DiveBoat")
    if canvas:getItemOnCursor() == "Pearls" and boat:visible() and boat:hittest(x, y) then
        canvas:dropSpecialCursor()
        self:endChapter()
        return
    end
    useOnDock(self, x, y)
end
-- The ferry pier stays shut in the second chapter; a click on it says so,
-- and points to the diving boat once it waits.
saysWhyShut(dock, {Door3 = function(self)
    return self:sprite("DiveBoat"):visible() and "STR_THINK_DIVEDOCK_PIER_BOAT" or "STR_THINK_DIVEDOCK_PIER"
end})
