// BlockBoard.h: what the sliding-block rooms do alike with their boards and
// blocks: a puzzle's layout looked up with its board checked, the key named
// by the layout checked, the blocks' sprites taken off the room, and the
// block under a point.
#pragma once

#include "scenes/common/BlockLayouts.h"
#include "sprites/dialogs/DialogSprite.h"

#include <vector>

class BlockBoard {
public:
    // The header entries of every layout: its columns and rows, the key's
    // goal cell, and which of its blocks is the key.
    static constexpr int COLUMNS_ENTRY = 0;
    static constexpr int ROWS_ENTRY = 1;
    static constexpr int TARGET_ENTRY = 2;
    static constexpr int KEY_ENTRY = 4;

    // Layout n, or null after a debug line with `owner` in front when there
    // is none or its columns or rows are out of range.
    static const BlockLayouts::Layout* layout(const std::vector<BlockLayouts::Layout>& layouts, int n,
                                              const char* owner);
    // The layout's key index names one of its blocks; a debug line otherwise
    // (the board then has no key). Whether it does.
    static bool checkKey(const BlockLayouts::Layout& layout, int n, const char* owner);

    // The blocks' sprites leave the room, the last block first.
    template <class Block>
    static void removeSprites(sprite::DialogSprite* room, const std::vector<Block>& blocks)
    {
        for (size_t i = blocks.size(); i-- > 0;) {
            if (blocks[i].sprite)
                room->removeChild(blocks[i].sprite);
        }
    }
    // The index of the first block but the one at index `skip` whose sprite
    // holds the point, or -1.
    template <class Block>
    static int indexAt(const std::vector<Block>& blocks, int skip, int x, int y)
    {
        for (size_t i = 0; i < blocks.size(); ++i) {
            if (int(i) != skip && blocks[i].sprite->hittest(x, y))
                return int(i);
        }
        return -1;
    }
    // That block, or null.
    template <class Block>
    static Block* findAt(std::vector<Block>& blocks, int skip, int x, int y)
    {
        const int i = indexAt(blocks, skip, x, y);
        return i < 0 ? nullptr : &blocks[size_t(i)];
    }
};
