-- KnickKnackStore.lua: the script of Knick Knack Store (room 4).
rooms = rooms or {}
rooms["KnickKnackStore"] = roomScript("KnickKnackStore")
