-- OuterVillage_2.lua: the script of Outer Village 2 (room 41), with the
-- second peg board, which lacks its peg.
rooms = rooms or {}
rooms["OuterVillage_2"] = withPegBoardLackingPeg(roomScript("OuterVillage_2"), 2)
