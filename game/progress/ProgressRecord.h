// ProgressRecord.h: the current player's progress: the room they are in and
// the one they left, the chapter reached, the inventory items and the hints.
#pragma once

#include <cstdint>

struct ProgressRecord {
    // The inventory's fixed item list and the hint list's slots.
    static constexpr int ITEM_COUNT = 22;
    static constexpr int HINT_COUNT = 7;
    // The room of a game that has not started yet ("StoryIntro").
    static constexpr int NEW_GAME_ROOM = 65;

    int32_t currentRoom;
    int32_t lastRoom;
    int32_t chapter;
    int32_t maxChapter;
    uint8_t itemOwned[ITEM_COUNT];
    int32_t itemValue[ITEM_COUNT];
    int32_t hint[HINT_COUNT];
    int32_t reserved;

    ProgressRecord() { init(); }
    // The values of a new game: room 65, no last room, chapter 1, nothing
    // completed or owned, every hint slot empty.
    void init();

    // The hint ids held: the slots before the first empty one (-1), since
    // the ids are kept at the front in the order they came.
    int hintCount() const;
    // Puts the id into the first empty slot unless a slot holds it already.
    // False, with the record unchanged, when all seven slots are taken.
    bool addHint(int id);
    // Empties every slot holding the id; the remaining ids move to the front
    // in their order.
    void removeHint(int id);
    // Every slot empty.
    void clearHints();
};
