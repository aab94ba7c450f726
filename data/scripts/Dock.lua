-- Dock.lua: the script of Dock (room 0): the fisherman mends his nets here,
-- and on the first visit the tutorial's guide explains how to talk.
rooms = rooms or {}
rooms["Dock"] = roomWithPeople("Dock", {
    Fisherman = {x = 560, y = 312, "STR_FISHERMAN_1", "STR_FISHERMAN_2", "STR_FISHERMAN_3"},
})
local dock = rooms["Dock"]
local entered, left = dock.onEnter, dock.onExit
dock.onEnter = function(self, n)
    local first = not LF.visited["Dock"]
    entered(self, n)
    if first then
        guide("STR_TUTORIAL_1")
    end
end
dock.onExit = function(self, n)
    dismissGuide()
    left(self, n)
end
