-- DialogSprite.lua: the script table of the DialogSprite class; the program copies its
-- functions into the class's metatable.
hv = hv or {}
hv.DialogSprite = {}
