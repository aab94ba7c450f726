// GameData.cpp: the files of a test program's data folder.
#include "tests/support/GameData.h"

#include "sprites/loader/DataLoader.h"
#include "tools/GlyphTable.h"
#include "tools/ImagePackWriter.h"
#include "tools/PngWriter.h"
#include "tools/WavWriter.h"

#include <fstream>

namespace testsupport {

namespace {

// The grid font's measures: 16 cells a row of 6 x 10 pixels.
constexpr int kFontColumns = 16;
constexpr int kCellWidth = 6;
constexpr int kCellHeight = 10;
constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 8;

} // namespace

std::string GameData::withCrLf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

Bytes GameData::png(int width, int height, const PixelFunction& pixel)
{
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[size_t(y) * size_t(width) + size_t(x)] = pixel(x, y);
    return tools::encodePng(pixels.data(), width, height, true);
}

void GameData::picture(const std::string& name, int width, int height, const PixelFunction& pixel)
{
    item(name, png(width, height, pixel));
}

void GameData::picture(const std::string& name, int width, int height, uint32_t argb)
{
    picture(name, width, height, [argb](int, int) { return argb; });
}

void GameData::gridFont(const std::string& atlasName, const std::string& tableName)
{
    const tools::GlyphTable table = tools::GlyphTable::grid(kFontColumns, kCellWidth, kCellHeight, kGlyphWidth, kCellWidth);
    const int rows = (256 - tools::GlyphTable::kFirstCode + kFontColumns - 1) / kFontColumns;
    picture(atlasName, kFontColumns * kCellWidth, rows * kCellHeight, [](int x, int y) {
        const bool ink = x % kCellWidth < kGlyphWidth && y % kCellHeight < kGlyphHeight;
        return ink ? 0xFFFFFFFFu : 0x00FFFFFFu;
    });
    const std::vector<uint32_t> words = table.pixels();
    item(tableName, tools::encodePng(words.data(), tools::GlyphTable::kWords, table.height(), true));
}

void GameData::sound(const std::string& name, int milliseconds)
{
    item(name, tools::toneWav(440.0, milliseconds));
}

void GameData::file(const std::string& name, const Bytes& bytes) const
{
    std::ofstream out(m_folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void GameData::file(const std::string& name, const std::string& bytes) const
{
    std::ofstream out(m_folder / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

void GameData::imagePack(const std::string& name, const std::vector<std::pair<std::string, Bytes>>& items) const
{
    tools::ImagePackWriter pack(sprite::DataLoader::kImagePackKey);
    for (const auto& entry : items)
        pack.add(entry.first, entry.second);
    pack.write((m_folder / name).string());
}

void GameData::classScripts() const
{
    const std::pair<const char*, const char*> scripts[] = {
        {"Canvas.lua", "Canvas"},
        {"Sprite.lua", "SpriteBase"},
        {"AnimateSprite.lua", "AnimateSprite"},
        {"ButtonSprite.lua", "ButtonSprite"},
        {"RectButtonSprite.lua", "RectButtonSprite"},
        {"DialogSprite.lua", "DialogSprite"},
        {"NewFontSprite.lua", "NewFontSprite"},
    };
    for (const auto& s : scripts)
        script(s.first, std::string("hv = hv or {}\nhv.") + s.second + " = {}\n");
    script("Utility.lua", "hv = hv or {}\n");
}

std::string GameData::writeArchive() const
{
    const std::string path = (m_folder / kArchiveName).string();
    m_archive.write(path);
    return path;
}

} // namespace testsupport
