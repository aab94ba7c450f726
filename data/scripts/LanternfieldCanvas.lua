-- LanternfieldCanvas.lua: the Lua class of the game canvas, the global `canvas`.
hv = hv or {}
hv.LanternfieldCanvas = hv.LanternfieldCanvas or {}
