-- HedgeMazeFront.lua: the script of Hedge Maze Front (room 15).
rooms = rooms or {}
rooms["HedgeMazeFront"] = roomScript("HedgeMazeFront")
