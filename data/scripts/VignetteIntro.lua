-- VignetteIntro.lua: the script of Vignette Intro (room 24).
rooms = rooms or {}

rooms["VignetteIntro"] = {
    onEnter = function(self, n)
        LF_roomEntered("VignetteIntro")
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
