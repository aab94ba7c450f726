-- AmuletDoor.lua: the script of Amulet Door (room 62).
rooms = rooms or {}
rooms["AmuletDoor"] = roomScript("AmuletDoor")
