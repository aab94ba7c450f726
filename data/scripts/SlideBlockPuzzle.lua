-- SlideBlockPuzzle.lua: the script of Slide Block Puzzle (room 8).
rooms = rooms or {}
rooms["SlideBlockPuzzle"] = roomScript("SlideBlockPuzzle")
