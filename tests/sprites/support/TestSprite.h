// TestSprite.h: a plain sized sprite that paints itself as a rectangle of its
// own colour over its box, and a receiver that records the action events it
// is sent.
#pragma once

#include "core/lang/String.h"
#include "sprites/base/SpriteBase.h"
#include "windowing/window/Event.h"
#include "windowing/graphics/Graphics.h"

#include <functional>
#include <string>
#include <vector>

namespace spritetest {

class TestSprite : public sprite::SpriteBase {
public:
    TestSprite(int x, int y, int w, int h, uint32_t colour = 0xFF00FF00u)
        : sprite::SpriteBase(x, y), m_nWidth(w), m_nHeight(h), m_colour(colour)
    {
        updateBounds();
    }

    bool configure(lang::ObjectArray*, lang::IntArray*) override { return true; }
    sprite::SpriteBase* clone() override
    {
        TestSprite* copy = new TestSprite(0, 0, m_nWidth, m_nHeight, m_colour);
        copyStateTo(copy);
        return copy;
    }
    int width() override { return m_nWidth; }
    int height() override { return m_nHeight; }
    void paint(window::Graphics* g) override
    {
        ++paints;
        g->fillRectAlpha(m_nX - (m_nWidth >> 1), m_nY - (m_nHeight >> 1), m_nWidth, m_nHeight, m_colour);
    }
    void moved(int dx, int dy) override { movedBy.push_back({dx, dy}); }
    void prepareTransition(window::Graphics* g) override
    {
        ++prepares;
        sprite::SpriteBase::prepareTransition(g);
    }
    void setSize(int w, int h)
    {
        m_nWidth = w;
        m_nHeight = h;
        updateBounds();
    }

    int paints = 0;
    // Painting's prepare passes taken.
    int prepares = 0;
    std::vector<std::pair<int, int>> movedBy;

private:
    int m_nWidth;
    int m_nHeight;
    uint32_t m_colour;
};

class RecordingReceiver : public window::Receiver {
public:
    struct Received {
        int id;
        lang::Object* target;
        std::string command;
    };

    bool handleEvent(window::Event* e) override
    {
        lang::String* command = static_cast<lang::String*>(e->arg);
        received.push_back({e->id, e->target, command ? command->c_str() : "<null>"});
        if (onEvent)
            onEvent();
        return true;
    }

    std::vector<Received> received;
    std::function<void()> onEvent;
};

} // namespace spritetest
