// ProgressRecord.cpp: the initial values of the player's progress.
#include "game/progress/ProgressRecord.h"

void ProgressRecord::init()
{
    currentRoom = NEW_GAME_ROOM;
    lastRoom = -1;
    chapter = 1;
    maxChapter = 0;
    for (int i = 0; i < ITEM_COUNT; ++i) {
        itemOwned[i] = 0;
        itemValue[i] = 0;
    }
    for (int j = 0; j < HINT_COUNT; ++j)
        hint[j] = -1;
    reserved = 0;
}
