-- TreasureChestCU.lua: the script of Treasure Chest  close-up (room 6).
rooms = rooms or {}
rooms["TreasureChestCU"] = roomScript("TreasureChestCU")
