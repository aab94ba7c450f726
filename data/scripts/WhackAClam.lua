-- WhackAClam.lua: the script of Whack AClam (room 18).
rooms = rooms or {}
rooms["WhackAClam"] = roomScript("WhackAClam")
