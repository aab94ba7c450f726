-- Inventory.lua: the script table of the Inventory class; the program copies
-- its functions into the class's metatable, under the native methods.
hv = hv or {}
hv.Inventory = {}
