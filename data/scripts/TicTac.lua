-- TicTac.lua: the script of Tic Tac (room 52).
rooms = rooms or {}
rooms["TicTac"] = roomScript("TicTac")
