-- InnerSanctum.lua: the script of Inner Sanctum (room 33).
rooms = rooms or {}
rooms["InnerSanctum"] = roomScript("InnerSanctum")
