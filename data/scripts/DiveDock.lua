-- DiveDock.lua: the script of Dive Dock (room 14).
-- A treasure lies here: Pearls.
rooms = rooms or {}
rooms["DiveDock"] = collectible(roomScript("DiveDock"), "Pearls")
