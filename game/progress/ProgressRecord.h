// ProgressRecord.h: the current player's progress: the room they are in and
// the one they left, the chapter reached, the inventory items and the hints,
// and its 154-byte image as a profile stores it.
#pragma once

#include <cstdint>

namespace lang {
class ByteArray;
}

struct ProgressRecord {
    // The inventory's fixed item list and the hint list's slots.
    static constexpr int ITEM_COUNT = 22;
    static constexpr int HINT_COUNT = 7;
    // The room of a game that has not started yet ("StoryIntro").
    static constexpr int NEW_GAME_ROOM = 65;
    // The image: four int32s, 22 pairs of an owned byte and an int32 value,
    // seven int32 hints; little-endian, no gaps, the last field left out.
    static constexpr int IMAGE_SIZE = 4 * 4 + ITEM_COUNT * 5 + HINT_COUNT * 4;
    // An image shorter than this holds nothing.
    static constexpr int MIN_IMAGE_SIZE = 2;

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

    // The array becomes the record's image (IMAGE_SIZE bytes).
    void writeImage(lang::ByteArray& image) const;
    // Fills the fields in image order from `length` bytes: each field takes
    // as many of its bytes as remain (its low bytes first), so a short image
    // leaves the rest, down to the upper bytes of a field cut short, as it
    // was; bytes past the image are ignored. False, with nothing changed,
    // for fewer than MIN_IMAGE_SIZE bytes.
    bool readImage(const uint8_t* data, int length);

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
