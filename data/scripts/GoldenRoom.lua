-- GoldenRoom.lua: the script of Golden Room (room 63): the golden chest
-- opens in its close-up (the treasure chest's, with three gilded boards);
-- each board solved opens one of its three locks and zooms back here. In
-- the open chest stands the last lantern: lighting it ends the story with
-- its last slides, and the main menu follows.
rooms = rooms or {}

local function showChest(self)
    local open = LF.goldLocks >= 3
    self:sprite("GoldChest"):setFrame(math.min(LF.goldLocks, 3))
    self:sprite("LastLantern"):show(open)
    -- The word on the locks goes once they are open.
    local note = self:sprite("Note")
    note:setText(hv.getResourceString("STR_NOTE_GOLDEN_ROOM"))
    note:show(not open)
end
local golden = roomScriptEntering("GoldenRoom", showChest)

clickingSpot(golden, "LastLantern", function(self)
    canvas:setEndGameVignette()
    -- The ending's fanfare (a module, played once) over the last slides; the
    -- menu's tune waits silent until the menu sets its volume again.
    canvas:fadeMusic(0, 5)
    canvas:playSound(SOUNDS.ending)
    self:moveToRoom("Vignette")
    -- The slides show without the bar, as every chapter's do.
    canvas:setPuzzleActive(true)
end)
clickingSpot(golden, "GoldChest", function(self)
    if LF.goldLocks < 3 then
        self:moveToRoom("TreasureChestCU")
    end
end)

rooms["GoldenRoom"] = golden
