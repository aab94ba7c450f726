-- OuterVillage_1.lua: the script of Outer Village 1 (room 40), where the
-- elder greets strangers and tells of the boards' lost pegs (and, once the
-- three are won, of the canoe), and the first of the three peg boards; every
-- won peg puzzle is told to this room. The elder's words hang a little higher
-- than his forehead, clear of his hair.
rooms = rooms or {}
local function pegBoardsWord()
    local won = LF.pegsSolved[1] and LF.pegsSolved[2] and LF.pegsSolved[3]
    return won and "STR_TRIBALELDER_4" or "STR_TRIBALELDER_3"
end
rooms["OuterVillage_1"] = roomWithPeople("OuterVillage_1", {
    TribalElder = {x = 740, y = 345, speaksFrom = {740, 329, "SE"}, "STR_TRIBALELDER_1", pegBoardsWord,
        "STR_TRIBALELDER_2"},
})
withPegBoardLackingPeg(rooms["OuterVillage_1"], 1)
-- `self` is the room the player is in: the third village's canoe comes as
-- its board is won there. The player says the board is won and how many of
-- the three are (a word left at the top right goes).
function rooms.OuterVillage_1.setSolvedPegPuzzle(self, n)
    LF.pegsOpen = false
    inventory:showRoomItemTip(false)
    LF.pegsSolved[n] = true
    LF_updateTasks()
    local won = 0
    for board = 1, 3 do
        if LF.pegsSolved[board] then
            won = won + 1
        end
    end
    think("STR_THINK_PEGS_WON_" .. won)
    if self:getName() == "OuterVillage_3" then
        rooms.OuterVillage_3.showChapterEnd(self)
    end
end
-- A board left without a jump is laid out again: the line under the board
-- says why, so nothing more is said here.
function rooms.OuterVillage_1.stuckPegPuzzle(self, n)
end
