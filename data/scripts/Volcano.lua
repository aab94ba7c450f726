-- Volcano.lua: the script of Volcano (room 36).
-- A treasure lies here: Machete.
rooms = rooms or {}
rooms["Volcano"] = collectible(roomScript("Volcano"), "Machete", "STR_THINK_FOUND_MACHETE")
