-- WelcomeCenter.lua: the script of Welcome Center (room 26).
-- A treasure lies here: Gem_2.
rooms = rooms or {}
rooms["WelcomeCenter"] = collectible(roomScript("WelcomeCenter"), "Gem_2")
