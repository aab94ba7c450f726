-- OuterVillage_2.lua: the script of Outer Village 2 (room 41), with the
-- second peg board.
rooms = rooms or {}
rooms["OuterVillage_2"] = withPegBoard(roomScript("OuterVillage_2"), 2, 585, 165)
