-- KnickKnackStore.lua: the script of Knick Knack Store (room 4): the
-- shopkeeper stands with his clipboard and puts it down to talk; the empty
-- vase stands on the counter, and taking it changes the task: now it needs
-- water.
rooms = rooms or {}
rooms["KnickKnackStore"] = collectible(roomWithPeople("KnickKnackStore", {
    ShopKeeper = {x = 420, y = 282, state = "clipboard", "STR_SHOPKEEPER_1", "STR_SHOPKEEPER_2", "STR_SHOPKEEPER_3"},
}), "Vase", function(self)
    LF_replaceHint(1, 3)
end)
