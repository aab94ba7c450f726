// ProgressRecord.cpp: the initial values of the player's progress, its
// little-endian image and the hint slots.
#include "game/progress/ProgressRecord.h"

#include "core/lang/ByteArray.h"

#include <initializer_list>

namespace {

// Writes a field's `size` low bytes, least significant first.
uint8_t* put(uint8_t* out, uint32_t value, int size)
{
    for (int b = 0; b < size; ++b)
        *out++ = uint8_t(value >> (8 * b));
    return out;
}

// Reads the bytes of a `size`-byte field that remain before `end` into its
// low bytes; the bytes of the field past the end keep their old values.
template <class T>
const uint8_t* take(const uint8_t* in, const uint8_t* end, T& field)
{
    uint32_t value = uint32_t(field);
    for (int b = 0; b < int(sizeof(T)) && in < end; ++b, ++in)
        value = (value & ~(0xFFu << (8 * b))) | (uint32_t(*in) << (8 * b));
    field = T(value);
    return in;
}

} // namespace

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

void ProgressRecord::writeImage(lang::ByteArray& image) const
{
    image.setLength(IMAGE_SIZE);
    uint8_t* out = image.data();
    for (int32_t field : {currentRoom, lastRoom, chapter, maxChapter})
        out = put(out, uint32_t(field), 4);
    for (int i = 0; i < ITEM_COUNT; ++i) {
        out = put(out, itemOwned[i], 1);
        out = put(out, uint32_t(itemValue[i]), 4);
    }
    for (int j = 0; j < HINT_COUNT; ++j)
        out = put(out, uint32_t(hint[j]), 4);
}

bool ProgressRecord::readImage(const uint8_t* data, int length)
{
    if (!data || length < MIN_IMAGE_SIZE)
        return false;
    const uint8_t* end = data + (length < IMAGE_SIZE ? length : IMAGE_SIZE);
    const uint8_t* in = data;
    in = take(in, end, currentRoom);
    in = take(in, end, lastRoom);
    in = take(in, end, chapter);
    in = take(in, end, maxChapter);
    for (int i = 0; i < ITEM_COUNT; ++i) {
        in = take(in, end, itemOwned[i]);
        in = take(in, end, itemValue[i]);
    }
    for (int j = 0; j < HINT_COUNT; ++j)
        in = take(in, end, hint[j]);
    return true;
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
