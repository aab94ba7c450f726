-- StoryIntro.lua: the script of Story Intro (room 65).
rooms = rooms or {}
rooms["StoryIntro"] = roomScript("StoryIntro")
