-- ViewFinder.lua: the script of View Finder (room 53).
rooms = rooms or {}

rooms["ViewFinder"] = {
    onEnter = function(self, n)
        LF_roomEntered("ViewFinder")
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
