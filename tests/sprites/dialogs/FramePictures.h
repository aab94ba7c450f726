// FramePictures.h: the nine pictures of a test frame, each pixel in the
// colour of a letter, and a fixture that makes bordered dialogs by name and
// reads what they draw back as maps of letters.
#pragma once

#include "tests/sprites/images/TestPictures.h"
#include "tests/sprites/support/DefinitionLists.h"

#include "core/lang/Class.h"
#include "sprites/dialogs/BorderedDialog.h"
#include "windowing/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace spritetest {

using Map = std::vector<std::string>;

// The nine pictures, in the order of a definition's image list. Each pixel
// is drawn in the colour of a letter; the edges and the centre have a
// letter of their own on the first column, row or pixel of each tile, so
// the maps show where every tile starts.
inline const int kPieceSize[9][2] = {
    {3, 2}, // top-left 'A'
    {2, 2}, // top: columns 'b', 'B'
    {2, 3}, // top-right 'C'
    {2, 2}, // right: rows 'd', 'D'
    {3, 2}, // bottom-right 'E'
    {2, 1}, // bottom: columns 'f', 'F'
    {2, 2}, // bottom-left 'G'
    {1, 2}, // left: rows 'h', 'H'
    {3, 2}, // centre: 'I' at each tile's corner, else 'i'
};

inline char pieceLetter(int piece, int x, int y)
{
    switch (piece) {
    case 0: return 'A';
    case 1: return x == 0 ? 'b' : 'B';
    case 2: return 'C';
    case 3: return y == 0 ? 'd' : 'D';
    case 4: return 'E';
    case 5: return x == 0 ? 'f' : 'F';
    case 6: return 'G';
    case 7: return y == 0 ? 'h' : 'H';
    default: return x == 0 && y == 0 ? 'I' : 'i';
    }
}

// An opaque colour whose red byte is the letter.
inline uint32_t colourOf(char c)
{
    return 0xFF000000u | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(c) * 3 % 256) << 8 | 0x40u;
}

inline uint32_t piecePixel(int piece, int x, int y)
{
    return colourOf(pieceLetter(piece, x, y));
}

// A 12 x 9 dialog at (1, 1): every edge and the centre end in a cut tile,
// the centre (drawn last) lies over the bottom corners, which are taller
// than the bottom edge.
inline const Map kTwelveByNine = {
    "..............",
    ".AAAbBbBbBbCC.",
    ".AAAbBbBbBbCC.",
    ".hIiiIiiIiiCC.",
    ".Hiiiiiiiiidd.",
    ".hIiiIiiIiiDD.",
    ".Hiiiiiiiiidd.",
    ".hIiiIiiIiiDD.",
    ".GiiiiiiiiiEE.",
    ".GGfFfFfFfEEE.",
    "..............",
};

class FrameTest : public ::testing::Test {
protected:
    FrameTest()
    {
        for (int i = 0; i < 9; ++i)
            pieces[i] = spritetest::makePicture(kPieceSize[i][0], kPieceSize[i][1],
                                                [i](int x, int y) { return piecePixel(i, x, y); });
    }
    ~FrameTest() override
    {
        for (window::ImageWinDX* p : pieces)
            p->release();
    }

    // A dialog made by name and given the nine pictures and the numbers.
    sprite::BorderedDialog* make(std::initializer_list<int> numbers)
    {
        return make(spritetest::imageList({pieces[0], pieces[1], pieces[2], pieces[3], pieces[4], pieces[5],
                                           pieces[6], pieces[7], pieces[8]}),
                    numbers);
    }

    // As make, with the given image list (released here).
    sprite::BorderedDialog* make(lang::ObjectArray* images, std::initializer_list<int> numbers)
    {
        lang::Class* metaclass = lang::Class::forName(lang::String("BorderedDialog"));
        EXPECT_NE(nullptr, metaclass);
        lang::Object* made = metaclass->newInstance();
        EXPECT_TRUE(made->isInstanceOf("BorderedDialog"));
        sprite::BorderedDialog* dialog = static_cast<sprite::BorderedDialog*>(made);
        lang::IntArray* params = spritetest::numberList(numbers);
        EXPECT_TRUE(dialog->configure(images, params));
        params->release();
        if (images)
            images->release();
        return dialog;
    }

    // The sprite drawn into a w x h black picture, read back as letters
    // ('.' black, '?' a colour of no letter).
    static Map render(sprite::SpriteBase* s, int w, int h)
    {
        window::ImageWinDX* target = spritetest::makeTarget(w, h);
        window::Graphics* g = target->getGraphics();
        s->draw(g);
        g->release();
        Map rows;
        for (int y = 0; y < h; ++y) {
            std::string row;
            for (int x = 0; x < w; ++x) {
                uint32_t p = spritetest::pixelAt(target, x, y);
                char c = char((p >> 16) & 0xFF);
                row += p == 0xFF000000u ? '.' : p == colourOf(c) ? c : '?';
            }
            rows.push_back(row);
        }
        target->release();
        return rows;
    }

    // The dialog's children, bottom first.
    static std::vector<sprite::SpriteBase*> children(sprite::DialogSprite* dialog)
    {
        std::vector<sprite::SpriteBase*> out;
        for (int i = 0;; ++i) {
            sprite::SpriteBase* s = dialog->childAt(i);
            if (!s)
                break;
            out.push_back(s);
            s->release();
        }
        return out;
    }

    window::ImageWinDX* pieces[9];
};

} // namespace spritetest
