// FigurePainter.h: the sample game's character figures, drawn from a short
// description (the colours of skin, hair and clothes, and a beard, hat,
// glasses or apron): every part a character's animation layers use, each a
// row of animation frames. The parts' places in the 100 x 180 figure are
// those of the characters' manifests.
#pragma once

#include "tools/Picture.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tools {

struct FigureStyle {
    // Colours 0xAARRGGBB; 0 leaves the trait out.
    uint32_t skin = 0xFFE8C098u;
    uint32_t hair = 0xFF4A3020u;
    uint32_t beard = 0;
    uint32_t hat = 0;
    uint32_t glasses = 0;
    uint32_t coat = 0xFF3A5A8Au;
    uint32_t shirt = 0xFFF0F0E8u;
    uint32_t apron = 0;
    uint32_t trousers = 0xFF3A3A40u;
    uint32_t shoes = 0xFF2A1A10u;
};

class FigurePainter {
public:
    // Reads "key colour" lines (';' starts a comment, "none" for no colour);
    // false, with the reason in `error`, on a line it cannot read.
    static bool parse(const std::string& text, FigureStyle& style, std::string& error);
    // Every part by its sprite name ("LegsB", "HeadA", "TalkToMeButton" ...).
    static std::vector<std::pair<std::string, Picture>> parts(const FigureStyle& style);
};

} // namespace tools
