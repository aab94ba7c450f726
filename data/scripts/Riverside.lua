-- Riverside.lua: the script of Riverside (room 5): the river fills the vase.
rooms = rooms or {}
rooms["Riverside"] = roomScript("Riverside")

rooms["Riverside"].onUse = function(self, x, y)
    local river = self:sprite("River")
    if canvas:getItemOnCursor() == "Vase" and river and river:hittest(x, y) then
        canvas:dropSpecialCursor()
        LF_takeItem("Vase")
        LF_giveItem("VaseWithWater")
        LF_replaceHint(3, 4)
        return
    end
    canvas:dropInvalidCursorItem()
end
