-- AmuletDoor.lua: the script of Amulet Door (room 62): a click on the seal
-- of the door, with the amulet and the four gems in the bar, sets them in:
-- the amulet, whole again, stays in the seal, and the door opens north to
-- the Golden Room.
-- The line over the seal says what it asks for until then; a click without
-- all five says what is missing (the bar gives none of them onto the
-- pointer in this chapter: one dragged from the bar onto the seal clicks it).
rooms = rooms or {}

local parts = {"Amulet", "Gem_1", "Gem_2", "Gem_3", "Gem_4"}

local function showSeal(self)
    self:sprite("AmuletSeal"):setFrame(LF.amuletSet and 1 or 0)
    self:enableDoor("GoldenRoom", LF.amuletSet == true)
    local note = self:sprite("Note")
    note:setText(hv.getResourceString("STR_NOTE_AMULET_DOOR"))
    note:show(not LF.amuletSet)
end
local door = roomScriptEntering("AmuletDoor", showSeal)

-- The amulet and its gems go into the seal when all five are at hand.
local function setIntoSeal(self)
    if LF.amuletSet then
        return
    end
    for _, name in ipairs(parts) do
        if not inventory:hasItem(name) then
            think("STR_THINK_SEAL_PARTS")
            return
        end
    end
    for _, name in ipairs(parts) do
        LF_takeItem(name)
    end
    LF.amuletSet = true
    LF_updateTasks()
    inventory:setRoomItemTip("STR_AMULET_COMPLETE", -1, true)
    canvas:playSound(SOUNDS.chime)
    showSeal(self)
end

clickingSpot(door, "AmuletSeal", setIntoSeal)
saysWhyShut(door, {Door0 = "STR_THINK_SEALED_DOOR"})
-- The player's thoughts stand over the top of the door, above the line over
-- the seal: beside the figure's head they would cover the line and the seal.
thinkingAt(door, 130, 140)

rooms["AmuletDoor"] = door
