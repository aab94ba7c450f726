// BlockBoard.cpp: the sliding-block rooms' layouts and keys.
#include "scenes/common/BlockBoard.h"

#include <string>

const BlockLayouts::Layout* BlockBoard::layout(const std::vector<BlockLayouts::Layout>& layouts, int n,
                                               const char* owner)
{
    if (n < 0 || size_t(n) >= layouts.size()) {
        BlockLayouts::report(owner, "there is no puzzle " + std::to_string(n) + "; the board stays empty");
        return nullptr;
    }
    const BlockLayouts::Layout& found = layouts[size_t(n)];
    const int columns = found.header[COLUMNS_ENTRY];
    const int rows = found.header[ROWS_ENTRY];
    if (!BlockLayouts::isSide(columns) || !BlockLayouts::isSide(rows)) {
        BlockLayouts::report(owner, "puzzle " + std::to_string(n) + " has a board of " + std::to_string(columns) +
                                        " x " + std::to_string(rows) + " cells; it stays empty");
        return nullptr;
    }
    return &found;
}

bool BlockBoard::checkKey(const BlockLayouts::Layout& layout, int n, const char* owner)
{
    const int key = layout.header[KEY_ENTRY];
    if (key >= 0 && size_t(key) < layout.blocks.size())
        return true;
    BlockLayouts::report(owner, "puzzle " + std::to_string(n) + " names block " + std::to_string(key) +
                                    " as its key, which it does not have");
    return false;
}
