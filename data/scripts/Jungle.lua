-- Jungle.lua: the script of Jungle (room 29).
-- A treasure lies here: Gem_4.
rooms = rooms or {}
rooms["Jungle"] = collectible(roomScript("Jungle"), "Gem_4")
