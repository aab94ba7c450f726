-- OldTownConnector.lua: the script of Old Town Connector (room 3). Its way
-- north to the mansion's gate stays shut in the first chapter, the way east
-- to the store in the second; each says why.
rooms = rooms or {}
rooms["OldTownConnector"] = saysWhyShut(roomScript("OldTownConnector"), {
    Door0 = "STR_THINK_MANSION_GATE_SHUT",
    Door2 = "STR_THINK_STORE_SHUT",
})
