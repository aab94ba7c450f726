// MazeGenerator.cpp: the hedge maze's debug tools, a random grid and the grid
// dump, in reduced form: each only says that it is not built yet, and the
// grid stays as the definition gave it.
#include "scenes/maze/Maze.h"

#include "windowing/window/DebugLine.h"

void Maze::generate()
{
    window::debugLine("Maze::generate: the maze generator is not built; the grid stays\n");
}

void Maze::writeGridDump()
{
    window::debugLine("Maze::writeGridDump: the grid dump is not built\n");
}
