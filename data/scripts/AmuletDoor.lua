-- AmuletDoor.lua: the script of Amulet Door (room 62): a click on the seal
-- of the door, with the amulet and the four gems in the bar, sets them in:
-- the amulet is whole again, and the door opens north to the Golden Room.
rooms = rooms or {}

local parts = {"Amulet", "Gem_1", "Gem_2", "Gem_3", "Gem_4"}

local function showSeal(self)
    self:sprite("AmuletSeal"):setFrame(LF.amuletSet and 1 or 0)
    self:enableDoor("GoldenRoom", LF.amuletSet == true)
end
local door = roomScriptEntering("AmuletDoor", showSeal)

-- A click on the seal sets the amulet in, when the amulet and the four
-- gems are all in the bar (the bar gives none of them onto the pointer in
-- this chapter).
clickingSpot(door, "AmuletSeal", function(self)
    if LF.amuletSet then
        return
    end
    for _, name in ipairs(parts) do
        if not inventory:hasItem(name) then
            return
        end
    end
    for _, name in ipairs(parts) do
        LF_takeItem(name)
    end
    LF.amuletSet = true
    LF_giveItem("AmuletComplete")
    inventory:setRoomItemTip("STR_AMULET_COMPLETE", -1, true)
    canvas:playSound(SOUNDS.chime)
    showSeal(self)
end)

rooms["AmuletDoor"] = door
