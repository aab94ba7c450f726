// Dib.h: a memory device context with a 32-bit DIB section selected,
// whose pixels the drawing tests read back.
#pragma once

#include "platform/gdi/Gdi.h"

#include <cstdint>

namespace gditest {

struct Dib {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint32_t* bits = nullptr;
    int width;
    int height;
    bool topDown;

    Dib(int w, int h, bool topDownRows = true, uint32_t fill = 0xFF000000u) : width(w), height(h), topDown(topDownRows)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = topDown ? -h : h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* p = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint32_t*>(p);
        dc = CreateCompatibleDC(nullptr);
        previous = SelectObject(dc, bitmap);
        for (int i = 0; i < w * h; ++i)
            bits[i] = fill;
    }
    ~Dib()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;

    // Pixel (x, y) counted from the top row, wherever that row lies in memory.
    uint32_t& at(int x, int y) { return bits[(topDown ? y : height - 1 - y) * width + x]; }
};

} // namespace gditest
