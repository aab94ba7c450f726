-- Canvas.lua: the script table of the Canvas class; the program copies its
-- functions into the class's metatable.
hv = hv or {}
hv.Canvas = {}
