-- KnickKnackStore.lua: the script of Knick Knack Store (room 4): the
-- shopkeeper stands with his clipboard and puts it down to talk; the empty
-- vase stands on the counter, and taking it changes the task: now it needs
-- water.
rooms = rooms or {}
-- The shopkeeper's word on the vase follows whether it is still on the counter.
local function aboutTheVase()
    return LF_itemFound("Vase") and "STR_SHOPKEEPER_4" or "STR_SHOPKEEPER_2"
end
-- The vase taken: the player says whose flowers it is for.
rooms["KnickKnackStore"] = collectible(roomWithPeople("KnickKnackStore", {
    ShopKeeper = {x = 420, y = 282, state = "clipboard", "STR_SHOPKEEPER_1", aboutTheVase, "STR_SHOPKEEPER_3"},
}), "Vase", function(self)
    think("STR_THINK_VASE")
end)
