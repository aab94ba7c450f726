-- StoryIntro.lua: the script of Story Intro (room 65). The introduction
-- plays without the pause button, which shows once the story has begun; it
-- stands for the first chapter's cut scene, so a continued game goes straight
-- back to its room.
rooms = rooms or {}
rooms["StoryIntro"] = roomScript("StoryIntro")
rooms["StoryIntro"].onExit = function(self, n)
    LF_setVignetteSeen(1)
    canvas:sprite("Quit"):show(true)
end
