// BlockLayouts.cpp: reading and checking the sliding-block layout tables.
#include "scenes/common/BlockLayouts.h"

#include "core/lang/IntArray.h"
#include "windowing/window/DebugLine.h"

#include <utility>

std::vector<BlockLayouts::Layout> BlockLayouts::read(const lang::IntArray& numbers, int headerSize, int blockSize,
                                                     const char* owner)
{
    std::vector<Layout> layouts;
    const long long length = numbers.length();
    if (length < 2) {
        report(owner, "the definition holds no puzzle count");
        return layouts;
    }
    int count = numbers[1];
    if (count < 0) {
        report(owner, "a puzzle count of " + std::to_string(count) + " is taken as 0");
        count = 0;
    }
    // In 64 bits: a huge count must not wrap the offsets.
    const long long headers = 2;
    long long next = headers + (long long)count * headerSize;
    for (int n = 0; n < count; ++n) {
        const long long at = headers + (long long)n * headerSize;
        if (at + headerSize > length) {
            report(owner, "the list ends inside the header of puzzle " + std::to_string(n) + " of " +
                              std::to_string(count));
            break;
        }
        Layout layout;
        layout.header.assign(numbers.data() + at, numbers.data() + at + headerSize);
        const int blocks = layout.header[BLOCK_COUNT_ENTRY];
        if (blocks < 0 || next + (long long)blocks * blockSize > length) {
            report(owner, "the " + std::to_string(blocks) + " blocks of puzzle " + std::to_string(n) +
                              " do not fit the list; the puzzles from it on are left out");
            break;
        }
        for (int i = 0; i < blocks; ++i, next += blockSize)
            layout.blocks.emplace_back(numbers.data() + next, numbers.data() + next + blockSize);
        layouts.push_back(std::move(layout));
    }
    return layouts;
}

void BlockLayouts::report(const char* owner, const std::string& text)
{
    window::debugLine(owner, ": ", text, "\n");
}
