// GdiFont.cpp: realising a logical font through the font library.
#include "platform/gdi/GdiFont.h"

#include "platform/gdi/FontLibrary.h"

namespace platform {

std::shared_ptr<FontFace> GdiFont::face()
{
    FontLibrary& library = FontLibrary::instance();
    unsigned generation = library.generation();
    std::lock_guard<std::mutex> lock(m_mutex);
    // A changed font-file override makes every font choose its file again.
    if (m_generation != generation) {
        m_face = library.realize(logical);
        m_generation = generation;
    }
    return m_face;
}

} // namespace platform
