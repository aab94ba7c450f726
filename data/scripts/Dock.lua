-- Dock.lua: the script of Dock (room 0): the fisherman mends his nets here,
-- waves and gulls, bubbles rising in the harbour water, and on the first
-- visit the tutorial's guide explains how to talk.
rooms = rooms or {}
local dock = roomWithPeople("Dock", {
    Fisherman = {x = 560, y = 312, "STR_FISHERMAN_1", "STR_FISHERMAN_2", "STR_FISHERMAN_3"},
})
local entered, left = dock.onEnter, dock.onExit
dock.onEnter = function(self, n)
    local first = not LF.visited["Dock"]
    entered(self, n)
    self:addAmbientSound({ id = SOUNDS.gull, startMin = 60, startMax = 150, min = 200, max = 400 })
    self:addAmbientBubbles()
    if first then
        guide("STR_TUTORIAL_1")
    end
end
dock.onExit = function(self, n)
    dismissGuide()
    left(self, n)
end
loopWhileInRoom(dock, SOUNDS.waves)
rooms["Dock"] = dock
