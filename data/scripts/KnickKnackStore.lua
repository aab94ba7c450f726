-- KnickKnackStore.lua: the script of Knick Knack Store (room 4): the
-- shopkeeper stands with his clipboard and puts it down to talk.
rooms = rooms or {}
rooms["KnickKnackStore"] = roomWithPeople("KnickKnackStore", {
    ShopKeeper = {x = 420, y = 282, state = "clipboard", "STR_SHOPKEEPER_1", "STR_SHOPKEEPER_2", "STR_SHOPKEEPER_3"},
})
