-- AmuletDoor.lua: the script of Amulet Door (room 62): the amulet and the
-- four gems together make the whole amulet.
rooms = rooms or {}
rooms["AmuletDoor"] = roomScript("AmuletDoor")

local parts = {"Amulet", "Gem_1", "Gem_2", "Gem_3", "Gem_4"}

rooms["AmuletDoor"].onClick = function(self, x, y)
    for _, name in ipairs(parts) do
        if not inventory:hasItem(name) then
            return
        end
    end
    for _, name in ipairs(parts) do
        LF_takeItem(name)
    end
    LF_giveItem("AmuletComplete")
    LF_removeHint(7)
    inventory:setRoomItemTip("STR_AMULET_COMPLETE", -1, true)
end
