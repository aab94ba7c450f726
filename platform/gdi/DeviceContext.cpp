// DeviceContext.cpp: context state, object selection, saving and restoring.
#include "platform/gdi/DeviceContext.h"

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/GdiStockObjects.h"

#include <mutex>

namespace platform {

namespace {

// Guards which context each bitmap is selected into.
std::mutex& selectionMutex()
{
    static std::mutex* m = new std::mutex;
    return *m;
}

void initialState(DeviceContext::State& s)
{
    GdiStockObjects& stock = GdiStockObjects::instance();
    s.pen = stock.blackPen();
    s.brush = stock.whiteBrush();
    s.font = stock.systemFont();
    s.palette = stock.defaultPalette();
}

// The screen has 96 pixels per logical inch.
const int kPixelsPerInch = 96;
// A window buffer holds at most 1 GiB of pixels, as bitmaps do.
const int64_t kMaxWindowPixels = int64_t(1) << 28;

} // namespace

std::shared_ptr<DeviceContext> DeviceContext::createMemory()
{
    std::shared_ptr<DeviceContext> dc(new DeviceContext(OBJ_MEMDC));
    initialState(dc->m_state);
    dc->changeBitmap(GdiStockObjects::instance().placeholderBitmap());
    return dc;
}

std::shared_ptr<DeviceContext> DeviceContext::createWindow(HWND window, int width, int height)
{
    std::shared_ptr<DeviceContext> dc(new DeviceContext(OBJ_DC));
    initialState(dc->m_state);
    dc->m_window = window;
    dc->m_windowWidth = width > 0 ? width : 0;
    dc->m_windowHeight = height > 0 ? height : 0;
    return dc;
}

DeviceContext::~DeviceContext()
{
    changeBitmap(nullptr);
}

void DeviceContext::changeBitmap(const std::shared_ptr<GdiBitmap>& bitmap)
{
    std::lock_guard<std::mutex> lock(selectionMutex());
    if (m_state.bitmap && m_state.bitmap->selectedIn == this)
        m_state.bitmap->selectedIn = nullptr;
    m_state.bitmap = bitmap;
    // The placeholder may sit in any number of contexts; it is never marked.
    if (bitmap && bitmap != GdiStockObjects::instance().placeholderBitmap())
        bitmap->selectedIn = this;
}

PixelSurface DeviceContext::surface()
{
    if (!isMemory()) {
        // The buffer is made on the first drawing: most window contexts only measure text.
        if (m_windowPixels.empty() && m_windowWidth > 0 && m_windowHeight > 0 &&
            int64_t(m_windowWidth) * m_windowHeight <= kMaxWindowPixels)
            m_windowPixels.assign(static_cast<size_t>(m_windowWidth) * m_windowHeight, 0u);
        PixelSurface s;
        if (!m_windowPixels.empty()) {
            s.top = m_windowPixels.data();
            s.width = m_windowWidth;
            s.height = m_windowHeight;
            s.stride = m_windowWidth;
        }
        return s;
    }
    return m_state.bitmap ? m_state.bitmap->surface() : PixelSurface();
}

RECT DeviceContext::surfaceBounds()
{
    if (!isMemory())
        return {0, 0, m_windowWidth, m_windowHeight};
    if (!m_state.bitmap)
        return {0, 0, 0, 0};
    return {0, 0, m_state.bitmap->width(), m_state.bitmap->height()};
}

BandedRegion DeviceContext::drawableArea()
{
    BandedRegion bounds(surfaceBounds());
    if (!m_state.hasClip)
        return bounds;
    return BandedRegion::combine(m_state.clip, bounds, RGN_AND);
}

HGDIOBJ DeviceContext::select(const std::shared_ptr<GdiObject>& object)
{
    if (!object)
        return nullptr;
    HGDIOBJ previous = nullptr;
    switch (object->type()) {
    case OBJ_PEN:
        previous = m_state.pen ? m_state.pen->handle() : nullptr;
        m_state.pen = std::static_pointer_cast<GdiPen>(object);
        return previous;
    case OBJ_BRUSH:
        previous = m_state.brush ? m_state.brush->handle() : nullptr;
        m_state.brush = std::static_pointer_cast<GdiBrush>(object);
        return previous;
    case OBJ_FONT:
        previous = m_state.font ? m_state.font->handle() : nullptr;
        m_state.font = std::static_pointer_cast<GdiFont>(object);
        return previous;
    case OBJ_BITMAP: {
        if (!isMemory())
            return nullptr;
        auto bitmap = std::static_pointer_cast<GdiBitmap>(object);
        {
            std::lock_guard<std::mutex> lock(selectionMutex());
            if (bitmap->selectedIn != nullptr && bitmap->selectedIn != this)
                return nullptr;
        }
        previous = m_state.bitmap ? m_state.bitmap->handle() : nullptr;
        changeBitmap(bitmap);
        return previous;
    }
    default:
        return nullptr;
    }
}

HPALETTE DeviceContext::selectPalette(const std::shared_ptr<GdiPalette>& palette)
{
    if (!palette)
        return nullptr;
    HPALETTE previous = m_state.palette ? static_cast<HPALETTE>(m_state.palette->handle()) : nullptr;
    m_state.palette = palette;
    return previous;
}

int DeviceContext::save()
{
    m_saved.push_back(m_state);
    return static_cast<int>(m_saved.size());
}

bool DeviceContext::restore(int level)
{
    int depth = static_cast<int>(m_saved.size());
    if (level < 0)
        level = depth + 1 + level;
    if (level < 1 || level > depth)
        return false;
    State restored = m_saved[static_cast<size_t>(level - 1)];
    m_saved.resize(static_cast<size_t>(level - 1));
    std::shared_ptr<GdiBitmap> bitmap = restored.bitmap;
    restored.bitmap = m_state.bitmap;
    m_state = std::move(restored);
    changeBitmap(bitmap);
    return true;
}

bool DeviceContext::isSelected(const GdiBitmap& bitmap)
{
    std::lock_guard<std::mutex> lock(selectionMutex());
    return bitmap.selectedIn != nullptr;
}

int DeviceContext::deviceCaps(int index)
{
    RECT bounds = surfaceBounds();
    switch (index) {
    case DRIVERVERSION: return 0x4000;
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZRES: return bounds.right;
    case VERTRES: return bounds.bottom;
    case HORZSIZE: return bounds.right * 254 / (kPixelsPerInch * 10);
    case VERTSIZE: return bounds.bottom * 254 / (kPixelsPerInch * 10);
    case BITSPIXEL: return screenBitsPerPixel();
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case RASTERCAPS: return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT;
    case LOGPIXELSX:
    case LOGPIXELSY: return kPixelsPerInch;
    case SIZEPALETTE:
    case NUMRESERVED: return 0;
    case COLORRES: return 24;
    case VREFRESH: return 60;
    default: return 0;
    }
}

} // namespace platform
