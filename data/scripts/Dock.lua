-- Dock.lua: the script of Dock (room 0).
rooms = rooms or {}
rooms["Dock"] = roomScript("Dock")
