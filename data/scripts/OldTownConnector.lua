-- OldTownConnector.lua: the script of Old Town Connector (room 3).
rooms = rooms or {}

rooms["OldTownConnector"] = {
    onEnter = function(self, n)
        LF_roomEntered("OldTownConnector")
    end,
    onExit = function(self, n)
    end,
    onClick = function(self, x, y)
    end,
    onUse = function(self, x, y)
    end,
    resetGlobalItems = function(self, n)
    end,
}
