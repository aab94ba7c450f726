-- ButtonSprite.lua: the script table of the ButtonSprite class; the program copies its
-- functions into the class's metatable.
hv = hv or {}
hv.ButtonSprite = {}
