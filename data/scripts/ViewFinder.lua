-- ViewFinder.lua: the script of View Finder (room 53).
rooms = rooms or {}
rooms["ViewFinder"] = roomScript("ViewFinder")
