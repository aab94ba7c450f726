// FontLibrary.cpp: FreeType set-up, font files chosen by fontconfig or pinned
// by the override, and the cache of open faces.
#include "platform/gdi/FontLibrary.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>
#include <iterator>

#if defined(__SANITIZE_ADDRESS__)
#define HV_LEAK_CHECKER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HV_LEAK_CHECKER 1
#endif
#endif
#ifdef HV_LEAK_CHECKER
#include <sanitizer/lsan_interface.h>
#endif

namespace platform {

namespace {

// The face that a font with no face name gets.
const char* const kDefaultFace = "Arial";
// GDI simulates bold from this weight on.
const LONG kBoldWeight = FW_SEMIBOLD;

// fontconfig loses a few bytes of its own while it parses the system's
// configuration; the leak checker is told to look away while it does.
class FontconfigLeakPause {
public:
#ifdef HV_LEAK_CHECKER
    FontconfigLeakPause() { __lsan_disable(); }
    ~FontconfigLeakPause() { __lsan_enable(); }
#else
    FontconfigLeakPause() {}
    ~FontconfigLeakPause() {}
#endif
};

} // namespace

FontLibrary& FontLibrary::instance()
{
    // Never destroyed: faces may be released by static destructors after exit begins.
    static FontLibrary* library = new FontLibrary;
    return *library;
}

FT_LibraryRec_* FontLibrary::library()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!m_library && FT_Init_FreeType(&m_library) != 0)
        m_library = nullptr;
    return m_library;
}

void FontLibrary::setFileOverride(const char* path)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    std::string next = path ? path : "";
    if (next != m_override) {
        m_override = next;
        ++m_generation;
    }
}

unsigned FontLibrary::generation()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_generation;
}

bool FontLibrary::findFile(const LOGFONTA& font, std::string& path, int& index, bool& isBold, bool& isItalic)
{
    if (!m_override.empty()) {
        // The pinned file is taken as it is; its own style decides what must be synthesised.
        FT_Face face = nullptr;
        FT_Library lib = library();
        if (!lib || FT_New_Face(lib, m_override.c_str(), 0, &face) != 0)
            return false;
        isBold = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
        isItalic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
        FT_Done_Face(face);
        path = m_override;
        index = 0;
        return true;
    }

    FontconfigLeakPause pause;
    if (!m_fontconfigReady) {
        if (!FcInit())
            return false;
        m_fontconfigReady = true;
    }
    char family[LF_FACESIZE + 1] = {};
    std::memcpy(family, font.lfFaceName, LF_FACESIZE);
    if (family[0] == '\0')
        std::strcpy(family, kDefaultFace);

    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return false;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(font.lfWeight == 0 ? FW_NORMAL : font.lfWeight));
    FcPatternAddInteger(pattern, FC_SLANT, font.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return false;

    bool found = false;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
        path = reinterpret_cast<const char*>(file);
        int faceIndex = 0;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &faceIndex) != FcResultMatch)
            faceIndex = 0;
        index = faceIndex;
        int weight = FC_WEIGHT_REGULAR;
        int slant = FC_SLANT_ROMAN;
        FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(match, FC_SLANT, 0, &slant);
        isBold = weight >= FC_WEIGHT_DEMIBOLD;
        isItalic = slant != FC_SLANT_ROMAN;
        found = true;
    }
    FcPatternDestroy(match);
    return found;
}

std::shared_ptr<FontFace> FontLibrary::realize(const LOGFONTA& font)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    std::string path;
    int index = 0;
    bool isBold = false, isItalic = false;
    if (!findFile(font, path, index, isBold, isItalic))
        return nullptr;
    bool syntheticBold = font.lfWeight >= kBoldWeight && !isBold;
    bool syntheticItalic = font.lfItalic && !isItalic;
    Key key(path, index, font.lfHeight, font.lfWeight, syntheticBold, syntheticItalic);
    auto it = m_faces.find(key);
    if (it != m_faces.end()) {
        if (std::shared_ptr<FontFace> face = it->second.lock())
            return face;
    }
    std::shared_ptr<FontFace> face =
        FontFace::open(path, index, font.lfHeight, font.lfWeight, syntheticBold, syntheticItalic);
    if (face) {
        for (auto i = m_faces.begin(); i != m_faces.end();)
            i = i->second.expired() ? m_faces.erase(i) : std::next(i);
        m_faces[key] = face;
    }
    return face;
}

} // namespace platform
