-- StoryIntro.lua: the script of Story Intro (room 65).
rooms = rooms or {}

rooms["StoryIntro"] = {
    onEnter = function(self, n)
        LF_roomEntered("StoryIntro")
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
