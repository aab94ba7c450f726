// GlyphTable.cpp: glyph tables and their pictures.
#include "tools/GlyphTable.h"

#include <cstddef>

namespace tools {

std::vector<uint32_t> GlyphTable::pixels() const
{
    std::vector<uint32_t> out;
    out.reserve(m_records.size() * kWords);
    for (const GlyphRecord& r : m_records) {
        for (int32_t word : {r.x, r.y, r.width, r.height, r.left, r.right})
            out.push_back(uint32_t(word));
    }
    return out;
}

GlyphTable GlyphTable::grid(int columns, int cellWidth, int cellHeight, int glyphWidth, int advance)
{
    // Codes 32 to 255: every byte a text in the ANSI code page may hold.
    const int count = 256 - kFirstCode;
    std::vector<GlyphRecord> records(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        GlyphRecord& r = records[size_t(i)];
        r.x = (i % columns) * cellWidth;
        r.y = (i / columns) * cellHeight;
        r.width = glyphWidth;
        r.height = cellHeight;
        r.right = advance;
    }
    return GlyphTable(records);
}

} // namespace tools
