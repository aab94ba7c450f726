// GameData.h: the data of a program made at test time in a folder: the
// resource archive with its pictures, texts, sounds and manifests, loose
// files such as image packs, and the Lua scripts.
#pragma once

#include "tools/archive/ArchiveWriter.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

using Bytes = std::vector<uint8_t>;
using PixelFunction = std::function<uint32_t(int x, int y)>;

class GameData {
public:
    // The archive's file name beside the program.
    static constexpr const char* kArchiveName = "Lanternfield.bin";

    explicit GameData(const std::filesystem::path& folder) : m_folder(folder) {}

    // Archive items.
    void item(const std::string& name, const Bytes& bytes) { m_archive.add(name, bytes); }
    void item(const std::string& name, const std::string& bytes) { m_archive.add(name, bytes); }
    // A manifest item, its lines ended by CR LF as the data files are
    // written: the tokenizer ends a ';' comment only at a carriage return.
    void manifest(const std::string& name, const std::string& text) { item(name, withCrLf(text)); }
    // A text item: the UTF-8 text and one 0 byte.
    void text(const std::string& name, const std::string& utf8) { m_archive.addText(name, utf8); }
    // A PNG picture item, RGBA, every pixel from the function (0xAARRGGBB).
    void picture(const std::string& name, int width, int height, const PixelFunction& pixel);
    // A PNG picture item of one colour.
    void picture(const std::string& name, int width, int height, uint32_t argb);
    // A bitmap font: the font picture `atlasName` and its glyph table
    // `tableName` for codes 32..255 (each glyph a 5 x 8 block in a 6 x 10
    // cell of a 16-column grid, advancing 6 pixels; the line is 10 high).
    void gridFont(const std::string& atlasName, const std::string& tableName);
    // A short tone as a PCM WAV item.
    void sound(const std::string& name, int milliseconds = 100);

    // Loose files in the folder.
    void file(const std::string& name, const Bytes& bytes) const;
    void file(const std::string& name, const std::string& bytes) const;
    // An image pack (its data XORed with the loader's key).
    void imagePack(const std::string& name, const std::vector<std::pair<std::string, Bytes>>& items) const;
    // A Lua script beside the program.
    void script(const std::string& name, const std::string& code) const { file(name, code); }
    // The scripts of the framework's scripted classes, each making its empty
    // class table, and "Utility.lua".
    void classScripts() const;

    // Writes the archive beside the program; returns its path.
    std::string writeArchive() const;

    tools::ArchiveWriter& archive() { return m_archive; }
    const std::filesystem::path& folder() const { return m_folder; }

    // The text with every LF preceded by a CR.
    static std::string withCrLf(const std::string& text);
    // A PNG of width x height pixels (RGBA).
    static Bytes png(int width, int height, const PixelFunction& pixel);

private:
    std::filesystem::path m_folder;
    tools::ArchiveWriter m_archive;
};

} // namespace testsupport
