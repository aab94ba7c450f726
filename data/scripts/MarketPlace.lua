-- MarketPlace.lua: the script of Market Place (room 2): a bunch of flowers
-- lies by the stalls.
rooms = rooms or {}
rooms["MarketPlace"] = collectible(roomScript("MarketPlace"), "HiddenFlowerBouquet")

local find = rooms["MarketPlace"].onClick
rooms["MarketPlace"].onClick = function(self, x, y)
    local had = LF_itemFound("HiddenFlowerBouquet")
    find(self, x, y)
    if not had and LF_itemFound("HiddenFlowerBouquet") then
        LF_replaceHint(2, 5)
    end
end
