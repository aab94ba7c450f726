-- MarketPlace.lua: the script of Market Place (room 2): a bunch of flowers
-- lies by the stalls, for the professor.
rooms = rooms or {}
rooms["MarketPlace"] = collectible(roomScript("MarketPlace"), "HiddenFlowerBouquet", function(self)
    LF_replaceHint(2, 5)
end)
