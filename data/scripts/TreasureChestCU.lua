-- TreasureChestCU.lua: the script of the Treasure Chest close-up (room 6) and
-- the table of its class, hv.TreasureChestCU. Each solved board opens a lock
-- with a flash and brings the next board behind the closing doors; the third
-- lets the light out, gives the chest's treasure and leaves the chest open
-- for good.
hv = hv or {}
hv.TreasureChestCU = hv.TreasureChestCU or {}
rooms = rooms or {}
rooms["TreasureChestCU"] = roomScript("TreasureChestCU")

local room = rooms["TreasureChestCU"]
function room.unlockLock(self, i)
    self:showLockUnlock(i)
    local lock = self:sprite("Lock" .. i)
    if lock then
        lock:setFrame(1)
    end
    if i < 3 then
        self:startDoorAnimation(LF.slideBlockPuzzle)
    else
        -- The treasure: the cypher wheel glints into the bar, and the
        -- riverside, where the open chest is left, says what it was.
        LF.chestOpened = true
        canvas:playSound(SOUNDS.chime)
        self:showGodRays()
        LF_giveItem("Cypher")
        LF_tellOnArrival("STR_CHEST_OPENED")
        self:exitRoomTrans("Riverside")
    end
end
-- The golden chest of the last chapter (boards 12 to 14): each board opens
-- one of its three gold locks, and the close-up zooms back into the Golden
-- Room, where the chest shows the locks open.
function room.unlockGoldLock(self, n)
    LF.goldLocks = math.max(LF.goldLocks, n - 11)
    canvas:playSound(SOUNDS.chime)
    self:exitRoomTransChap6(n)
end
-- There the close-up leads back into the Golden Room, not out to the
-- riverside of the first chapter's chest, and its locks show those open.
local enterChest = room.onEnter
room.onEnter = function(self, n)
    enterChest(self, n)
    local golden = self:getChapterNumber() == 6
    self:enableDoor("Riverside", not golden)
    self:enableDoor("GoldenRoom", golden)
    self:sprite("GoldenRoomExit"):show(golden)
    if golden then
        for i = 1, 3 do
            self:sprite("Lock" .. i):setFrame(i <= LF.goldLocks and 1 or 0)
        end
    end
end
