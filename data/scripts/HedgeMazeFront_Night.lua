-- HedgeMazeFront_Night.lua: the script of Hedge Maze Front at night (room 47).
rooms = rooms or {}
rooms["HedgeMazeFront_Night"] = roomScript("HedgeMazeFront_Night")
