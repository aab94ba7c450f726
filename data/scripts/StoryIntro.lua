-- StoryIntro.lua: the script of Story Intro (room 65). The introduction
-- plays without the pause button, which shows once the story has begun.
rooms = rooms or {}
rooms["StoryIntro"] = roomScript("StoryIntro")
rooms["StoryIntro"].onExit = function(self, n)
    canvas:sprite("Quit"):show(true)
end
