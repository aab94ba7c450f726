-- Dock.lua: the script of Dock (room 0). The first chapter's errand starts
-- here with its first two tasks, and ends here: the professor's box opens to
-- an amulet.
rooms = rooms or {}
rooms["Dock"] = roomScript("Dock")

local enter = rooms["Dock"].onEnter
rooms["Dock"].onEnter = function(self, n)
    if not LF.story.started then
        LF.story.started = true
        -- The items' tips and the hand over what can be taken.
        inventory:enableItems(true)
        inventory:setHint(LF_hintText(1), 1)
        LF_addHint(2)
    end
    enter(self, n)
end

rooms["Dock"].onUse = function(self, x, y)
    if canvas:getItemOnCursor() == "Box" then
        canvas:dropSpecialCursor()
        LF_takeItem("Box")
        LF_giveItem("Amulet")
        LF_replaceHint(6, 7)
        return
    end
    canvas:dropInvalidCursorItem()
end
