-- NewFontSprite.lua: the script table of the NewFontSprite class; the program copies its
-- functions into the class's metatable.
hv = hv or {}
hv.NewFontSprite = {}
