-- Utility.lua: the utility module; the program adds hv.getResourceString.
hv = hv or {}
