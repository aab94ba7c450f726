-- Landing.lua: the script of Landing (room 25), where the boat leaves the
-- player on the island; the player thinks of the welcome centre on the first
-- visit. The way west to the ferry pier stays shut on the island's errand
-- (Lanternfield.lua), and a click on it says why.
-- A treasure lies here: Gem_1.
rooms = rooms or {}
local landing = collectible(roomWithPeople("Landing", {}, "STR_THINK_LANDING"), "Gem_1",
    "STR_THINK_FOUND_GEM_1")
local click = landing.onClick
landing.onClick = function(self, x, y)
    if self:sprite("Door2"):hittest(x, y) then
        think("STR_THINK_LANDING_PIER")
        return
    end
    click(self, x, y)
end
rooms["Landing"] = landing
