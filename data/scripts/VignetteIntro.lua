-- VignetteIntro.lua: the script of Vignette Intro (room 24).
rooms = rooms or {}
rooms["VignetteIntro"] = roomScript("VignetteIntro")
