// ProgressRecord.cpp: the initial values of the player's progress and the
// hint slots.
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

int ProgressRecord::hintCount() const
{
    int count = 0;
    while (count < HINT_COUNT && hint[count] != -1)
        ++count;
    return count;
}

bool ProgressRecord::addHint(int id)
{
    for (int j = 0; j < HINT_COUNT; ++j) {
        if (hint[j] == id)
            return true;
    }
    const int count = hintCount();
    if (count == HINT_COUNT)
        return false;
    hint[count] = id;
    return true;
}

void ProgressRecord::removeHint(int id)
{
    int kept = 0;
    for (int j = 0; j < HINT_COUNT; ++j) {
        if (hint[j] != id && hint[j] != -1)
            hint[kept++] = hint[j];
    }
    while (kept < HINT_COUNT)
        hint[kept++] = -1;
}

void ProgressRecord::clearHints()
{
    for (int j = 0; j < HINT_COUNT; ++j)
        hint[j] = -1;
}
