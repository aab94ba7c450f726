// FigurePainter.cpp: the figures' parts: legs, torsos, arms in four raised
// positions, heads looking ahead, aside or up, happy or talking, mouths,
// eyelids and the talk-to-me bubble.
#include "tools/FigurePainter.h"

#include <sstream>
#include <stdexcept>

namespace tools {

namespace {

constexpr uint32_t kInk = 0xFF2A1A14u;
constexpr uint32_t kLips = 0xFF8A3A30u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;

// A row of `frames` cells, each drawn by draw(cell, frame).
template <class Draw>
Picture row(int cellWidth, int cellHeight, int frames, Draw draw)
{
    Picture strip(cellWidth * frames, cellHeight);
    for (int f = 0; f < frames; ++f) {
        Picture cell(cellWidth, cellHeight);
        draw(cell, f);
        strip.draw(cell, f * cellWidth, 0);
    }
    return strip;
}

uint32_t darker(uint32_t colour)
{
    return mix(colour, 0xFF000000u, 0.25);
}

// Legs 40 x 72: standing, then striding.
Picture legs(const FigureStyle& s)
{
    return row(40, 72, 2, [&](Picture& p, int f) {
        const double spread = f == 0 ? 0.0 : 5.0;
        p.line(13, 4, 13 - spread, 62, 11, s.trousers);
        p.line(27, 4, 27 + spread, 62, 11, s.trousers);
        p.ellipse(13 - spread - 1, 66, 8, 4.5, s.shoes);
        p.ellipse(27 + spread + 1, 66, 8, 4.5, s.shoes);
    });
}

// A torso 56 x 66 in `coat`: breathing in on its second frame.
Picture torso(const FigureStyle& s, uint32_t coat)
{
    return row(56, 66, 2, [&](Picture& p, int f) {
        p.roundRect(4 - f, 2, 48 + 2 * f, 62, 10, coat);
        p.triangle(19, 2, 37, 2, 28, 22, s.shirt);
        if (s.apron)
            p.roundRect(12, 26, 32, 38, 4, s.apron);
        for (int b = 0; b < 3; ++b)
            p.ellipse(28, 28 + b * 10, 1.8, 1.8, darker(coat));
    });
}

// An arm 24 x 72 from the shoulder at (12, 6) to a hand that rises frame by
// frame; `mirror` draws the figure's left arm.
Picture arm(const FigureStyle& s, uint32_t sleeve, bool mirror, const double (&hands)[4][2])
{
    return row(24, 72, 4, [&](Picture& p, int f) {
        const double hx = mirror ? 24 - hands[f][0] : hands[f][0];
        p.line(12, 7, hx, hands[f][1], 10, sleeve);
        p.ellipse(hx, hands[f][1], 5, 5, s.skin);
    });
}

// The eyes of a head at (15, 25) and (29, 25), their pupils shifted.
void eyes(Picture& p, double dx, double dy, double size, const FigureStyle& s)
{
    for (double x : {15.0, 29.0}) {
        if (s.glasses)
            p.ellipse(x, 25, 5.5, 5.0, s.glasses);
        p.ellipse(x, 25, s.glasses ? 4.3 : 3.6, s.glasses ? 3.8 : 3.0 * size, kWhite);
        p.ellipse(x + dx, 25 + dy, 2.0, 2.0 * size, kInk);
    }
    if (s.glasses)
        p.line(19, 25, 25, 25, 1.2, s.glasses);
}

// What a head looks like: where its pupils look, its brows, its mouth.
struct Face {
    double lookX = 0, lookY = 0, brows = 0, eyeSize = 1.0;
    bool smile = false, cheeks = false, open = false;
};

// A head 44 x 50: hair and hat, the face with its eyes, brows, nose and a
// closed mouth at (22, 36) where the mouth sprites lie.
void head(Picture& p, const FigureStyle& s, const Face& face)
{
    if (s.hair)
        p.ellipse(22, 18, 19, 14, s.hair);
    p.ellipse(22, 29, 17, 19, s.skin);
    if (s.beard) {
        p.ellipse(22, 40, 15, 9, s.beard);
        p.ellipse(22, 37, 8, 3, s.skin);
    }
    if (s.hair)
        p.ellipse(22, 12, 16, 6, s.hair);
    if (s.hat) {
        p.roundRect(4, 6, 36, 6, 3, s.hat);
        p.roundRect(11, 0, 22, 9, 4, s.hat);
    }
    eyes(p, face.lookX, face.lookY, face.eyeSize, s);
    for (double x : {15.0, 29.0})
        p.line(x - 4, 19 - face.brows, x + 4, 19 - face.brows, 1.6, s.hair ? darker(s.hair) : kInk);
    p.ellipse(22, 31, 1.6, 2.2, darker(s.skin));
    if (face.cheeks)
        for (double x : {11.0, 33.0})
            p.ellipse(x, 33, 3.5, 2.5, 0xFFE08080u, 0.6);
    if (face.smile) {
        p.line(17, 35, 22, 38, 1.6, kLips);
        p.line(22, 38, 27, 35, 1.6, kLips);
    } else if (face.open) {
        p.ellipse(22, 36, 3.5, 2.2, kLips);
    } else {
        p.line(17, 36, 27, 36, 1.6, kLips);
    }
}

Picture heads(const FigureStyle& s, const Face (&faces)[3])
{
    return row(44, 50, 3, [&](Picture& p, int f) { head(p, s, faces[f]); });
}

// A mouth 16 x 10 over the head's mouth (centre (8, 5)): closed, then
// opening wider.
Picture mouth(uint32_t lips)
{
    return row(16, 10, 4, [&](Picture& p, int f) {
        if (f == 0) {
            p.line(3, 5, 13, 5, 1.6, lips);
            return;
        }
        p.ellipse(8, 5, 2.0 + f, 0.8 + f, lips);
        p.ellipse(8, 5 + f * 0.3, 1.0 + f * 0.7, 0.3 + f * 0.6, 0xFF401010u);
    });
}

// Eyelids 32 x 12 over the eyes (at (9, 9) and (23, 9)): open, half shut, shut.
Picture eyelids(const FigureStyle& s)
{
    return row(32, 12, 3, [&](Picture& p, int f) {
        for (double x : {9.0, 23.0}) {
            p.ellipse(x, 9, 3.6, 3.0, f == 0 ? kWhite : s.skin);
            if (f == 0) {
                p.ellipse(x, 9, 2.0, 2.0, kInk);
                continue;
            }
            if (f == 1)
                p.ellipse(x, 10.5, 2.0, 1.2, kInk);
            const double lid = f == 1 ? 8.0 : 9.0;
            p.line(x - 3.5, lid, x + 3.5, lid, 1.2, darker(s.skin));
        }
    });
}

// The talk-to-me bubble 30 x 30: white, then lit.
Picture talkBubble()
{
    return row(30, 30, 2, [&](Picture& p, int f) {
        const uint32_t fill = f == 0 ? kWhite : 0xFFFFE070u;
        p.ellipse(15, 13, 13, 11, kInk);
        p.triangle(6, 18, 12, 22, 3, 29, kInk);
        p.ellipse(15, 13, 11.5, 9.5, fill);
        p.triangle(7, 19, 11, 21, 5, 26, fill);
        for (int d = -1; d <= 1; ++d)
            p.ellipse(15 + d * 6, 13, 1.8, 1.8, kInk);
    });
}

uint32_t colourOf(const std::string& word)
{
    if (word == "none")
        return 0;
    size_t used = 0;
    const unsigned long long value = std::stoull(word, &used, 0);
    if (used != word.size() || value > 0xFFFFFFFFull)
        throw std::invalid_argument(word);
    return uint32_t(value);
}

} // namespace

bool FigurePainter::parse(const std::string& text, FigureStyle& style, std::string& error)
{
    struct Key {
        const char* name;
        uint32_t FigureStyle::*field;
    };
    static const Key keys[] = {
        {"skin", &FigureStyle::skin},       {"hair", &FigureStyle::hair},     {"beard", &FigureStyle::beard},
        {"hat", &FigureStyle::hat},         {"glasses", &FigureStyle::glasses}, {"coat", &FigureStyle::coat},
        {"shirt", &FigureStyle::shirt},     {"apron", &FigureStyle::apron},   {"trousers", &FigureStyle::trousers},
        {"shoes", &FigureStyle::shoes},
    };
    std::istringstream in(text);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        line = line.substr(0, line.find(';'));
        std::istringstream words(line);
        std::string key, value, extra;
        if (!(words >> key))
            continue;
        const Key* found = nullptr;
        for (const Key& k : keys)
            found = key == k.name ? &k : found;
        try {
            if (!found || !(words >> value) || (words >> extra))
                throw std::invalid_argument(key);
            style.*(found->field) = colourOf(value);
        } catch (const std::exception&) {
            error = "line " + std::to_string(number) + ": cannot read \"" + line + "\"";
            return false;
        }
    }
    return true;
}

std::vector<std::pair<std::string, Picture>> FigurePainter::parts(const FigureStyle& s)
{
    // Hands from hanging down to raised high: the talking gesture, and the
    // cheer of the happy pose.
    static const double talking[4][2] = {{12, 62}, {7, 50}, {5, 36}, {9, 22}};
    static const double cheering[4][2] = {{8, 30}, {6, 20}, {8, 12}, {10, 7}};
    const Face ahead[3] = {Face{}, Face{0, 0, 2}, Face{0, 0, 0, 0.6}};
    const Face aside[3] = {Face{-1.6, 0}, Face{-1.6, 0, 1}, Face{-1.6, 0.5, 0, 0.8}};
    const Face up[3] = {Face{1.4, -1.2}, Face{1.4, -1.2, 2}, Face{0.8, -1.0, 1}};
    const Face talkingFace[3] = {Face{0, 0, 2, 1, false, false, true}, Face{0, 0, 3, 1, false, false, true},
                                 Face{0, 0, 1, 1, true}};
    const Face happyFace[3] = {Face{0, 0, 2, 1, true, true}, Face{0, 0, 3, 0.7, true, true},
                               Face{0, 0, 2, 1, true, true}};
    std::vector<std::pair<std::string, Picture>> out;
    out.emplace_back("LegsB", legs(s));
    out.emplace_back("TorsoB", torso(s, s.coat));
    // One figure, one set of clothes: the talking and the happy poses wear
    // what the figure stands in.
    out.emplace_back("TorsoB1", torso(s, s.coat));
    out.emplace_back("ArmRB", arm(s, s.coat, false, talking));
    out.emplace_back("ArmLB", arm(s, s.coat, true, talking));
    out.emplace_back("ArmRB1", arm(s, s.coat, false, talking));
    out.emplace_back("ArmLB1", arm(s, s.coat, true, talking));
    out.emplace_back("ArmRB2", arm(s, s.coat, false, cheering));
    out.emplace_back("ArmLB2", arm(s, s.coat, true, cheering));
    out.emplace_back("HeadB", heads(s, ahead));
    out.emplace_back("HeadA", heads(s, aside));
    out.emplace_back("HeadD", heads(s, up));
    out.emplace_back("HeadB1", heads(s, talkingFace));
    out.emplace_back("HeadB2", heads(s, happyFace));
    out.emplace_back("MouthB", mouth(kLips));
    out.emplace_back("MouthB1", mouth(darker(kLips)));
    out.emplace_back("BlinkB", eyelids(s));
    out.emplace_back("BlinkB1", eyelids(s));
    out.emplace_back("TalkToMeButton", talkBubble());
    return out;
}

} // namespace tools
