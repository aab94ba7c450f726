// GdiFont.h: the object behind a font handle: the logical font as asked for
// and the face it is realised with, found on first use.
#pragma once

#include "platform/gdi/FontFace.h"
#include "platform/gdi/GdiObject.h"

#include <memory>
#include <mutex>

namespace platform {

class GdiFont final : public GdiObject {
public:
    explicit GdiFont(const LOGFONTA& logical) : GdiObject(OBJ_FONT), logical(logical) {}

    // The realised face; null when no font file can serve it.
    std::shared_ptr<FontFace> face();

    const LOGFONTA logical;

private:
    std::mutex m_mutex;
    std::shared_ptr<FontFace> m_face;
    unsigned m_generation = 0;
};

} // namespace platform
