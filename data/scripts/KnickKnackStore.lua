-- KnickKnackStore.lua: the script of Knick Knack Store (room 4): the empty
-- vase stands on the counter.
rooms = rooms or {}
rooms["KnickKnackStore"] = collectible(roomScript("KnickKnackStore"), "Vase")

-- Taking the vase changes the task: now it needs water.
local find = rooms["KnickKnackStore"].onClick
rooms["KnickKnackStore"].onClick = function(self, x, y)
    local had = LF_itemFound("Vase")
    find(self, x, y)
    if not had and LF_itemFound("Vase") then
        LF_replaceHint(1, 3)
    end
end
