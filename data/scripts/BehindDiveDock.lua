-- BehindDiveDock.lua: the script of Behind Dive Dock (room 55).
rooms = rooms or {}
rooms["BehindDiveDock"] = roomScript("BehindDiveDock")
