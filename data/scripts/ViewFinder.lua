-- ViewFinder.lua: the script of View Finder (room 53).
rooms = rooms or {}
rooms["ViewFinder"] = roomScript("ViewFinder")

local finder = rooms["ViewFinder"]
local enterFinder = finder.onEnter
finder.onEnter = function(self, n)
    enterFinder(self, n)
    for i = 0, 3 do
        self:sprite("number" .. i .. "_ArrowUp"):enable(true)
        self:sprite("number" .. i .. "_ArrowDown"):enable(true)
    end
    self:sprite("LookBtn"):enable(true)
end
