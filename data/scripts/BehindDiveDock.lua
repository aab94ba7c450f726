-- BehindDiveDock.lua: the script of Behind Dive Dock (room 55).
-- A treasure lies here: AirTank.
rooms = rooms or {}
rooms["BehindDiveDock"] = collectible(roomScript("BehindDiveDock"), "AirTank")
