-- Landing.lua: the script of Landing (room 25).
rooms = rooms or {}
rooms["Landing"] = roomScript("Landing")
