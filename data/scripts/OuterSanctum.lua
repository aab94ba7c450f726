-- OuterSanctum.lua: the script of Outer Sanctum (room 35).
rooms = rooms or {}
rooms["OuterSanctum"] = roomScript("OuterSanctum")
