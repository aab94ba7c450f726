-- ProfessorHouse.lua: the script of Professor House (room 1), where the
-- professor receives visitors; he takes the vase of water and the flowers,
-- and gives a box for the dock.
rooms = rooms or {}
rooms["ProfessorHouse"] = roomWithPeople("ProfessorHouse", {
    Professor = {x = 520, y = 302, "STR_PROFESSOR_1", "STR_PROFESSOR_2", "STR_PROFESSOR_3"},
})

local wanted = {VaseWithWater = 4, HiddenFlowerBouquet = 5}

rooms["ProfessorHouse"].onUse = function(self, x, y)
    local item = canvas:getItemOnCursor()
    local hint = wanted[item]
    if not hint then
        canvas:dropInvalidCursorItem()
        return
    end
    canvas:dropSpecialCursor()
    LF_takeItem(item)
    LF_removeHint(hint)
    if LF.taken.VaseWithWater and LF.taken.HiddenFlowerBouquet then
        LF_giveItem("Box")
        LF_addHint(6)
        inventory:setRoomItemTip("STR_PROFESSOR_THANKS", -1, true)
    end
end
