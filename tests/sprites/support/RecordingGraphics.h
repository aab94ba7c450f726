// RecordingGraphics.h: a drawing context that draws nothing and records every
// call made to it, with the translation and alpha in force at the time, so
// that tests can check what was drawn, where and in which order.
#pragma once

#include "windowing/graphics/Graphics.h"
#include "windowing/images/ImageBase.h"

#include <cstdint>
#include <string>
#include <vector>

namespace spritetest {

class RecordingGraphics : public window::Graphics {
public:
    struct Call {
        std::string op;
        int x = 0, y = 0, w = 0, h = 0;
        uint32_t argb = 0;
        window::ImageBase* image = nullptr; // not owned; compared by address only
        util::RectangleNM src;
        double scaleX = 1.0, scaleY = 1.0;
        int alpha = 128;
        int translateX = 0, translateY = 0;
        bool flag = false;
    };

    std::vector<Call> calls;
    // What getBackBuffer fills in: the pixel at (x, y) is pattern(x, y).
    uint32_t backBufferBase = 0xFF000000u;
    // Whether beginRenderToImage gives a context.
    bool canRenderToImage = true;

    static uint32_t pattern(uint32_t base, int x, int y) { return base | uint32_t(y * 1000 + x); }

    std::vector<Call> ofOp(const std::string& op) const
    {
        std::vector<Call> out;
        for (const Call& c : calls)
            if (c.op == op)
                out.push_back(c);
        return out;
    }
    std::vector<std::string> ops() const
    {
        std::vector<std::string> out;
        for (const Call& c : calls)
            out.push_back(c.op);
        return out;
    }

    bool drawImageCentered(window::ImageBase* image, int cx, int cy, util::RectangleNM* src, double scaleX,
                           double scaleY, double, int) override
    {
        Call c = make("drawImageCentered");
        c.image = image;
        c.x = cx;
        c.y = cy;
        if (src)
            c.src = *src;
        c.scaleX = scaleX;
        c.scaleY = scaleY;
        calls.push_back(c);
        return true;
    }
    bool drawImage(window::ImageBase* image, int x, int y) override
    {
        Call c = make("drawImage");
        c.image = image;
        c.x = x;
        c.y = y;
        calls.push_back(c);
        return true;
    }
    void clipRect(int x, int y, int w, int h) override
    {
        calls.push_back(rect("clipRect", x, y, w, h));
        window::Graphics::clipRect(x, y, w, h);
    }
    Graphics* create() override
    {
        calls.push_back(make("create"));
        pushState();
        addRef();
        return this;
    }
    void dispose() override
    {
        calls.push_back(make("dispose"));
        popState();
    }
    Graphics* beginRenderToImage(int* width, int* height) override
    {
        Call c = make("beginRenderToImage");
        c.w = *width;
        c.h = *height;
        calls.push_back(c);
        if (!canRenderToImage)
            return nullptr;
        pushState();
        addRef();
        return this;
    }
    void endRenderToImage(window::ImageBase* image, int width, int height) override
    {
        Call c = make("endRenderToImage");
        c.image = image;
        c.w = width;
        c.h = height;
        calls.push_back(c);
        popState();
    }
    void fillOval(int x, int y, int w, int h) override { calls.push_back(rect("fillOval", x, y, w, h)); }
    void fillRect(int x, int y, int w, int h) override
    {
        Call c = rect("fillRect", x, y, w, h);
        c.argb = m_color.getValue();
        calls.push_back(c);
    }
    void fillRectAlpha(int x, int y, int w, int h, uint32_t argb) override
    {
        Call c = rect("fillRectAlpha", x, y, w, h);
        c.argb = argb;
        calls.push_back(c);
    }
    void drawString(lang::String*, int x, int y) override { calls.push_back(rect("drawString", x, y, 0, 0)); }
    void drawBytes(const unsigned char*, int, int, int x, int y) override
    {
        calls.push_back(rect("drawBytes", x, y, 0, 0));
    }
    void drawLine(int x1, int y1, int x2, int y2, int) override { calls.push_back(rect("drawLine", x1, y1, x2, y2)); }
    void drawPath(window::Polygon*, int) override { calls.push_back(make("drawPath")); }
    void drawPolygon(window::Polygon*) override { calls.push_back(make("drawPolygon")); }
    void fillPolygon(window::Polygon*) override { calls.push_back(make("fillPolygon")); }
    void drawTruncated(lang::String*, util::RectangleNM*) override { calls.push_back(make("drawTruncated")); }
    void drawBezier(const int*, int, int, int, int) override { calls.push_back(make("drawBezier")); }
    void fillBezier(const int*, int, int) override { calls.push_back(make("fillBezier")); }
    void setBlendMode(bool alphaBlend) override
    {
        Call c = make("setBlendMode");
        c.flag = alphaBlend;
        calls.push_back(c);
    }
    void getBackBuffer(int, int, int w, int h, uint32_t* pixels) override
    {
        Call c = rect("getBackBuffer", 0, 0, w, h);
        calls.push_back(c);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                pixels[y * w + x] = pattern(backBufferBase, x, y);
    }

private:
    Call make(const char* op) const
    {
        Call c;
        c.op = op;
        c.alpha = m_nAlpha;
        c.translateX = m_nTranslateX;
        c.translateY = m_nTranslateY;
        return c;
    }
    Call rect(const char* op, int x, int y, int w, int h) const
    {
        Call c = make(op);
        c.x = x;
        c.y = y;
        c.w = w;
        c.h = h;
        return c;
    }
};

} // namespace spritetest
