-- Maze.lua: the script of Maze (room 20), the hedge maze: leaving it through
-- the exit at the top solves it and leads back out to the front of the maze,
-- where a message tells of it.
rooms = rooms or {}
local room = roomScript("Maze")

function room.solvedMaze(self)
    LF.hedgeMazeSolved = true
    LF_updateTasks()
    LF_tellOnArrival("STR_MAZE_SOLVED")
    self:moveToRoom("HedgeMazeFront")
end

rooms["Maze"] = room
