-- OldTownConnector.lua: the script of Old Town Connector (room 3).
rooms = rooms or {}
rooms["OldTownConnector"] = roomScript("OldTownConnector")
