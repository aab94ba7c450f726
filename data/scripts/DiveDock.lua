-- DiveDock.lua: the script of Dive Dock (room 14).
rooms = rooms or {}
rooms["DiveDock"] = roomScript("DiveDock")
