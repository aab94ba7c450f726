-- WelcomeCenter.lua: the script of Welcome Center (room 26).
rooms = rooms or {}
rooms["WelcomeCenter"] = roomScript("WelcomeCenter")
