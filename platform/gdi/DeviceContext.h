// DeviceContext.h: the object behind an HDC: the selected objects, colours,
// modes, clip region and pen position, the stack of saved states, and the
// pixels it draws into (the selected bitmap, or a window's own buffer).
#pragma once

#include "platform/gdi/BandedRegion.h"
#include "platform/gdi/GdiBitmap.h"
#include "platform/gdi/GdiBrush.h"
#include "platform/gdi/GdiFont.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/GdiPalette.h"
#include "platform/gdi/GdiPen.h"
#include "platform/gdi/PixelSurface.h"

#include <memory>
#include <vector>

namespace platform {

class DeviceContext final : public GdiObject {
public:
    // Everything SaveDC keeps and RestoreDC brings back.
    struct State {
        std::shared_ptr<GdiPen> pen;
        std::shared_ptr<GdiBrush> brush;
        std::shared_ptr<GdiFont> font;
        std::shared_ptr<GdiBitmap> bitmap; // memory contexts only
        std::shared_ptr<GdiPalette> palette;
        bool hasClip = false;
        BandedRegion clip; // in device coordinates
        COLORREF textColor = RGB(0, 0, 0);
        COLORREF bkColor = RGB(255, 255, 255);
        int bkMode = OPAQUE;
        int rop2 = R2_COPYPEN;
        int polyFillMode = ALTERNATE;
        int stretchMode = BLACKONWHITE;
        UINT textAlign = TA_TOP | TA_LEFT;
        POINT position{0, 0};
    };

    // A memory context, holding the 1 x 1 placeholder bitmap until another is selected.
    static std::shared_ptr<DeviceContext> createMemory();
    // A window's context drawing into a buffer of its own of the given size.
    static std::shared_ptr<DeviceContext> createWindow(HWND window, int width, int height);
    ~DeviceContext() override;

    bool isMemory() const { return type() == OBJ_MEMDC; }
    HWND window() const { return m_window; }
    State& state() { return m_state; }

    // The pixels drawing goes to; invalid when the context has none (the placeholder bitmap).
    PixelSurface surface();
    // (0, 0, width, height) of the surface; a memory context measures its selected bitmap.
    RECT surfaceBounds();
    // The area drawing may touch: the clip region (when one is set) within the surface bounds.
    BandedRegion drawableArea();

    // Selects a pen, brush, font or bitmap and returns the handle of the one it
    // replaces; null when the object cannot be selected here (a bitmap into a
    // window context, or one already selected into another context).
    HGDIOBJ select(const std::shared_ptr<GdiObject>& object);
    HPALETTE selectPalette(const std::shared_ptr<GdiPalette>& palette);

    // SaveDC: the new depth of the saved-state stack (1 for the first save).
    int save();
    // RestoreDC: a positive level returns to the state that save() returned it
    // for; a negative one counts back from the latest save. False for a level
    // that does not exist.
    bool restore(int level);

    int deviceCaps(int index);

    // Whether the bitmap is the current bitmap of some context.
    static bool isSelected(const GdiBitmap& bitmap);

private:
    explicit DeviceContext(DWORD type) : GdiObject(type) {}
    void changeBitmap(const std::shared_ptr<GdiBitmap>& bitmap);

    State m_state;
    std::vector<State> m_saved;
    HWND m_window = nullptr;
    std::vector<uint32_t> m_windowPixels;
    int m_windowWidth = 0;
    int m_windowHeight = 0;
};

} // namespace platform
