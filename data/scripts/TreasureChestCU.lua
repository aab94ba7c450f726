-- TreasureChestCU.lua: the script of the Treasure Chest close-up (room 6) and
-- the table of its class, hv.TreasureChestCU. The line under the board says
-- which of the three locks is played; each solved board opens a lock with a
-- flash, says so and brings the next board behind the closing doors; the
-- third lets the light out, gives the chest's treasure and leaves the chest
-- open for good.
hv = hv or {}
hv.TreasureChestCU = hv.TreasureChestCU or {}
rooms = rooms or {}
rooms["TreasureChestCU"] = roomScript("TreasureChestCU")

local room = rooms["TreasureChestCU"]

-- The line under the board: the text item, "%1" the lock and "%2" the one
-- after it (whose board an opened lock brings).
local function say(self, id, lock)
    local line = hv.getResourceString(id):gsub("%%1", tostring(lock)):gsub("%%2", tostring(lock + 1))
    self:sprite("Status"):setText(line)
end
-- The lock opens with its flash and shows open.
local function openLock(self, i)
    self:showLockUnlock(i)
    local lock = self:sprite("Lock" .. i)
    if lock then
        lock:setFrame(1)
    end
end

function room.unlockLock(self, i)
    openLock(self, i)
    if i < 3 then
        say(self, "STR_CHEST_LOCK_OPEN", i)
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
-- The golden chest of the last chapter (boards 12 to 14): its boards follow
-- one another in the chest as the first chapter's do; the third opens the
-- chest, which stands a while with its three locks open and the line saying
-- so, then the close-up zooms back into the Golden Room, where the last
-- lantern stands in it and that is told.
local GOLD_CHEST_WON_FRAMES = 65
function room.unlockGoldLock(self, n)
    local lock = n - 11
    LF.goldLocks = math.max(LF.goldLocks, lock)
    canvas:playSound(SOUNDS.chime)
    openLock(self, lock)
    if lock < 3 then
        say(self, "STR_CHEST_LOCK_OPEN", lock)
        self:startDoorAnimation(LF.slideBlockPuzzle)
    else
        say(self, "STR_GOLD_CHEST_WON", lock)
        LF_tellOnArrival("STR_GOLD_CHEST_OPENED")
        self:exitRoomTransChap6After(n, GOLD_CHEST_WON_FRAMES)
    end
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
    local opened = golden and LF.goldLocks or LF.slideBlockPuzzle % LF_numTreasureChestPuzzles()
    if golden then
        for i = 1, 3 do
            self:sprite("Lock" .. i):setFrame(i <= opened and 1 or 0)
        end
    end
    if golden and opened >= 3 then
        -- Left (the game closed) while the won chest stood: it stands again
        -- as it was, then closes.
        say(self, "STR_GOLD_CHEST_WON", 3)
        self:exitRoomTransChap6After(LF.slideBlockPuzzle - 1, GOLD_CHEST_WON_FRAMES)
    else
        say(self, "STR_CHEST_LOCK", math.min(opened + 1, 3))
    end
end
