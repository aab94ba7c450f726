// GraphicsWWinDX.cpp: the stand-in window graphics: the drawing bracket and
// state stack without a device; drawing operations do nothing.
#include "windowing/GraphicsWWinDX.h"

#include "platform/user/Window.h"

namespace window {

GraphicsWWinDX::GraphicsWWinDX(HWND hwnd)
    : m_hWindow(hwnd), m_hTarget(nullptr), m_nWidth(0), m_nHeight(0), m_pLostFlag(nullptr), m_bWindowed(true),
      m_bDeviceMade(false), m_nDrawDepth(0)
{
    RECT client{};
    if (hwnd && GetClientRect(hwnd, &client)) {
        m_nWidth = client.right - client.left;
        m_nHeight = client.bottom - client.top;
    }
    setClipRect(util::RectangleNM(0, 0, m_nWidth, m_nHeight));
}

GraphicsWWinDX::~GraphicsWWinDX() = default;

bool GraphicsWWinDX::beginDrawing()
{
    if (m_nDrawDepth++ == 0)
        createDXDevice(m_bWindowed, false);
    return true;
}

void GraphicsWWinDX::endDrawing()
{
    if (m_nDrawDepth > 0)
        --m_nDrawDepth;
}

Graphics* GraphicsWWinDX::create()
{
    if (!beginDrawing())
        return nullptr;
    pushState();
    addRef();
    return this;
}

void GraphicsWWinDX::dispose()
{
    popState();
    endDrawing();
}

HRESULT GraphicsWWinDX::createDXDevice(bool windowed, bool reset)
{
    if (m_bDeviceMade && !reset)
        return 0;
    m_bWindowed = windowed;
    m_bDeviceMade = true;
    return 0;
}

void GraphicsWWinDX::setTargetWindow(HWND hwnd)
{
    if (m_nDrawDepth == 0 && m_bWindowed)
        m_hTarget = hwnd;
}

HRESULT GraphicsWWinDX::testCooperativeLevel(bool)
{
    return 0;
}

bool GraphicsWWinDX::drawImageCentered(ImageBase*, int, int, util::RectangleNM*, double, double, double, int)
{
    return false;
}

bool GraphicsWWinDX::drawImage(ImageBase*, int, int)
{
    return false;
}

Graphics* GraphicsWWinDX::beginRenderToImage(int*, int*)
{
    return nullptr;
}

void GraphicsWWinDX::endRenderToImage(ImageBase*, int, int) {}
void GraphicsWWinDX::fillOval(int, int, int, int) {}
void GraphicsWWinDX::fillRect(int, int, int, int) {}
void GraphicsWWinDX::fillRectAlpha(int, int, int, int, uint32_t) {}
void GraphicsWWinDX::drawString(lang::String*, int, int) {}
void GraphicsWWinDX::drawBytes(const unsigned char*, int, int, int, int) {}
void GraphicsWWinDX::drawLine(int, int, int, int, int) {}
void GraphicsWWinDX::drawPath(Polygon*, int) {}
void GraphicsWWinDX::drawPolygon(Polygon*) {}
void GraphicsWWinDX::fillPolygon(Polygon*) {}
void GraphicsWWinDX::drawTruncated(lang::String*, util::RectangleNM*) {}
void GraphicsWWinDX::drawBezier(const int*, int, int, int, int) {}
void GraphicsWWinDX::fillBezier(const int*, int, int) {}

} // namespace window
