-- Sprite.lua: the script table of the SpriteBase class; the program copies its
-- functions into the class's metatable.
hv = hv or {}
hv.SpriteBase = {}
