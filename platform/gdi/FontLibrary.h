// FontLibrary.h: the process's FreeType library, the choice of font files by
// fontconfig (or a pinned file), and the faces already open.
#pragma once

#include "platform/gdi/FontFace.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>

struct FT_LibraryRec_;

namespace platform {

class FontLibrary {
public:
    static FontLibrary& instance();

    // Every FreeType call runs under this lock.
    std::recursive_mutex& mutex() { return m_mutex; }
    // The FreeType library (made on first use); call with the lock held. Null when FreeType fails.
    FT_LibraryRec_* library();

    // Pins every font to one file (null or "" releases it); fonts made before
    // are realised again with the new file.
    void setFileOverride(const char* path);
    // Changes whenever the override does.
    unsigned generation();

    // The face that a logical font maps to: the face name through fontconfig
    // ("Arial" finds its metric-compatible substitute), bold and italic faces
    // when the family has them, synthetic ones otherwise. Null when no usable file exists.
    std::shared_ptr<FontFace> realize(const LOGFONTA& font);

private:
    FontLibrary() = default;
    bool findFile(const LOGFONTA& font, std::string& path, int& index, bool& isBold, bool& isItalic);

    std::recursive_mutex m_mutex;
    FT_LibraryRec_* m_library = nullptr;
    bool m_fontconfigReady = false;
    std::string m_override;
    unsigned m_generation = 1;
    typedef std::tuple<std::string, int, LONG, LONG, bool, bool> Key;
    std::map<Key, std::weak_ptr<FontFace>> m_faces;
};

} // namespace platform
