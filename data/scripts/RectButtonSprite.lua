-- RectButtonSprite.lua: the script table of the RectButtonSprite class; the program copies its
-- functions into the class's metatable.
hv = hv or {}
hv.RectButtonSprite = {}
