-- OuterVillage_3.lua: the script of Outer Village 3 (room 42), with the
-- third peg board.
rooms = rooms or {}
rooms["OuterVillage_3"] = withPegBoard(roomScript("OuterVillage_3"), 3, 318, 220)
