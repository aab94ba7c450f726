// RegistryFile.h: the settings file that keeps the registry between runs: a
// line-oriented text, read whole and written whole through a temporary file
// that replaces the old one in a single rename.
#pragma once

#include "platform/registry/RegistryKey.h"

#include <memory>
#include <string>

namespace platform {

// The file starts with "HVREGISTRY 1". Each key is a line K "path" (names
// joined by '\', the root's path empty), followed by its values as lines
// V "name" type data; the data of a text value is quoted, any other data is
// 'x' and its bytes in hex. The last line E n counts the K and V lines, so a
// file cut short is told from a whole one. Inside quotes the bytes 0x20..0x7E
// stand for themselves except '"' and '%'; every other byte is %XX.
class RegistryFile {
public:
    explicit RegistryFile(std::string path) : m_path(std::move(path)) {}

    // Makes `root` a new key filled from the file. A missing file leaves it empty. A damaged
    // one is renamed aside (".damaged", ".damaged.1", ...) with a diagnostic
    // line on stderr, and `root` stays empty. Returns whether the registry may
    // be saved to this path: false when the file exists but could not be read
    // or moved aside, so that it is never overwritten unseen.
    bool load(std::shared_ptr<RegistryKey>& root);

    // Writes the whole registry to a temporary file beside the settings file,
    // flushes it to the disk and renames it over the settings file, so a crash
    // leaves either the old or the new file. Creates the folder when missing.
    // On failure writes a diagnostic line and returns false.
    bool save(const RegistryKey& root);

    static std::string serialize(const RegistryKey& root);
    // Parses a whole file into an empty root; on failure `error` tells the
    // line and what is wrong with it, and the root may be partly filled.
    static bool parse(const std::string& text, RegistryKey& root, std::string* error);

private:
    std::string m_path;
};

} // namespace platform
