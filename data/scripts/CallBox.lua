-- CallBox.lua: the script of Call Box (room 22).
rooms = rooms or {}
rooms["CallBox"] = roomScript("CallBox")
