-- HedgeMazeFront.lua: the script of Hedge Maze Front (room 15).
-- A treasure lies here: CaveMapScroll.
rooms = rooms or {}
rooms["HedgeMazeFront"] = collectible(roomScript("HedgeMazeFront"), "CaveMapScroll")
