// GraphicsWWinDX.h: the window graphics the frame owns. This is a stand-in
// until the Direct3D device is built: it has the operations the frame and the
// window procedure call, keeps the drawing bracket and the state stack, has no
// device (every cooperative-level test reports the device ready) and draws
// nothing. The Direct3D implementation replaces this file and its source.
#pragma once

#include "platform/Win32Types.h"
#include "windowing/Graphics.h"

namespace window {

class LostDeviceFlag;

class GraphicsWWinDX : public Graphics {
public:
    // Made for a window; the back-buffer size is its client size now.
    explicit GraphicsWWinDX(HWND hwnd);
    ~GraphicsWWinDX() override;

    // Counts nested drawing brackets; always true.
    bool beginDrawing() override;
    void endDrawing() override;
    // Begins drawing, saves the state and returns this with a reference
    // taken; null when drawing cannot begin.
    Graphics* create() override;
    // Restores the state saved by create and ends drawing.
    void dispose() override;

    bool drawImageCentered(ImageBase* image, int cx, int cy, util::RectangleNM* src, double scaleX, double scaleY,
                           double rotation, int flip) override;
    bool drawImage(ImageBase* image, int x, int y) override;
    Graphics* beginRenderToImage(int* width, int* height) override;
    void endRenderToImage(ImageBase* image, int width, int height) override;
    void fillOval(int x, int y, int w, int h) override;
    void fillRect(int x, int y, int w, int h) override;
    void fillRectAlpha(int x, int y, int w, int h, uint32_t argb) override;
    void drawString(lang::String* text, int x, int y) override;
    void drawBytes(const unsigned char* bytes, int offset, int length, int x, int y) override;
    void drawLine(int x1, int y1, int x2, int y2, int width) override;
    void drawPath(Polygon* polygon, int width) override;
    void drawPolygon(Polygon* polygon) override;
    void fillPolygon(Polygon* polygon) override;
    void drawTruncated(lang::String* text, util::RectangleNM* box) override;
    void drawBezier(const int* points, int count, int dx, int dy, int scale) override;
    void fillBezier(const int* points, int count, int scale) override;

    // The process-wide lost-device flag, set by the owning frame.
    void setLostFlag(LostDeviceFlag* flag) { m_pLostFlag = flag; }
    LostDeviceFlag* getLostFlag() const { return m_pLostFlag; }
    // Makes the device (windowed or full screen) unless one exists and this
    // is no reset; 0 on success.
    HRESULT createDXDevice(bool windowed, bool reset);
    // The window the next paint presents to.
    void setTargetWindow(HWND hwnd);
    HWND getTargetWindow() const { return m_hTarget; }
    // The device's cooperative level: 0 when it can draw.
    HRESULT testCooperativeLevel(bool quiet);
    bool isWindowed() const { return m_bWindowed; }
    int getDrawDepth() const { return m_nDrawDepth; }

    HV_CLASS_NAME("GraphicsWWinDX", Graphics)

private:
    HWND m_hWindow;
    HWND m_hTarget;
    int m_nWidth;
    int m_nHeight;
    LostDeviceFlag* m_pLostFlag;
    bool m_bWindowed;
    bool m_bDeviceMade;
    int m_nDrawDepth;
};

} // namespace window
