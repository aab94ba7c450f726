-- AnimateSprite.lua: the script table of the AnimateSprite class; the program copies its
-- functions into the class's metatable.
hv = hv or {}
hv.AnimateSprite = {}
