// hvtext: lays out one line of text in the engine's fonts into an image the
// way text sprites render it (anti-aliased glyph bitmaps as alpha on the text
// colour) and writes the image as a PNG, with the font's measures on stdout.
#include "core/lang/String.h"
#include "core/lang/System.h"
#include "platform/files/Text.h"
#include "platform/gdi/Gdi.h"
#include "platform/user/Backend.h"
#include "windowing/gdi/CMainDC.h"
#include "windowing/fonts/Font.h"
#include "windowing/fonts/FontMetrics.h"
#include "windowing/d3d/ImageWinDX.h"
#include "tools/GlyphPainter.h"
#include "tools/PngWriter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void usage()
{
    std::fprintf(stderr,
                 "usage: hvtext [options] text...\n"
                 "  -o FILE        the PNG to write (default text.png)\n"
                 "  -f FACE        font face (default the system's default face)\n"
                 "  -s SIZE        character height in pixels (default 16)\n"
                 "  -b -i          bold, italic\n"
                 "  -F FONTFILE    use this font file for every face\n"
                 "  -c RRGGBB      text colour (default 000000)\n"
                 "  -g RRGGBB      opaque background (default transparent)\n"
                 "The text is UTF-8; characters outside the ANSI code page become '?'.\n");
}

bool parseColour(const char* text, uint32_t& rgb)
{
    char* end = nullptr;
    unsigned long v = std::strtoul(text, &end, 16);
    if (!*text || *end || v > 0xFFFFFF)
        return false;
    rgb = uint32_t(v);
    return true;
}

// UTF-8 to the ANSI code page the fonts take.
std::string toAnsi(const std::string& utf8)
{
    int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), int(utf8.size()), nullptr, 0);
    if (wideLength <= 0)
        return std::string();
    std::vector<WCHAR> wide(static_cast<size_t>(wideLength));
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), int(utf8.size()), wide.data(), wideLength);
    int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::string ansi(size_t(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, &ansi[0], length, nullptr, nullptr);
    return ansi;
}

// Every pixel becomes the text colour with alpha 0; the glyphs' grey levels
// set the alpha, the pen starting 2 pixels in with the baseline at the
// font's ascent. Returns false when a glyph cannot be read.
bool renderLine(window::Font* font, int ascent, const std::string& text, uint32_t rgb, window::ImageWinDX* image)
{
    uint32_t* pixels = image->getPixels();
    int width = image->getWidth(), height = image->getHeight();
    for (int i = 0; i < width * height; ++i)
        pixels[i] = rgb & 0x00FFFFFFu;
    bool ok = true;
    {
        tools::GlyphPainter painter(font);
        int pen = 2;
        for (unsigned char c : text) {
            const int advance = painter.draw(c, pixels, width, height, pen, ascent);
            if (advance < 0) {
                ok = false;
                break;
            }
            pen += advance;
        }
    }
    image->setHasAlpha(true);
    image->setModified(true);
    return ok;
}

// Mixes every pixel over an opaque background colour.
void flatten(window::ImageWinDX* image, uint32_t background)
{
    uint32_t* pixels = image->getPixels();
    for (int i = 0; i < image->getWidth() * image->getHeight(); ++i) {
        uint32_t p = pixels[i];
        uint32_t a = p >> 24, out = 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            uint32_t s = (p >> shift) & 0xFF, d = (background >> shift) & 0xFF;
            out |= ((s * a + d * (255 - a) + 127) / 255) << shift;
        }
        pixels[i] = out;
    }
    image->setHasAlpha(false);
}

} // namespace

int main(int argc, char** argv)
{
    // Measuring needs the screen's context but no display.
    platform::setWindowBackend("headless");
    const char* out = "text.png";
    std::string face = lang::System::getDefaultFontName();
    int size = 16, style = 0;
    uint32_t colour = 0, background = 0;
    bool opaque = false;
    std::string text;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "-o" && hasValue)
            out = argv[++i];
        else if (arg == "-f" && hasValue)
            face = argv[++i];
        else if (arg == "-s" && hasValue)
            size = std::atoi(argv[++i]);
        else if (arg == "-F" && hasValue)
            platform::setFontFileOverride(argv[++i]);
        else if (arg == "-b")
            style |= window::Font::kBold;
        else if (arg == "-i")
            style |= window::Font::kItalic;
        else if (arg == "-c" && hasValue) {
            if (!parseColour(argv[++i], colour)) {
                usage();
                return 2;
            }
        } else if (arg == "-g" && hasValue) {
            if (!parseColour(argv[++i], background)) {
                usage();
                return 2;
            }
            opaque = true;
        } else if (arg == "-h" || arg == "--help" || (arg.size() > 1 && arg[0] == '-')) {
            usage();
            return 2;
        } else {
            if (!text.empty())
                text += ' ';
            text += arg;
        }
    }
    if (text.empty() || size <= 0 || size > 2000) {
        usage();
        return 2;
    }

    std::string ansi = toAnsi(text);
    window::Font* font = new window::Font(face.c_str(), style, size, DEFAULT_CHARSET, 0, 0);
    window::FontMetrics* metrics = font->getFontMetrics();
    int width = metrics->stringWidth(lang::String(ansi.c_str())) + 4;
    int height = metrics->getHeight() + 2;
    char realised[LF_FACESIZE] = "";
    {
        window::CMainDC* screen = new window::CMainDC();
        SelectObject(screen->getDC(), font->getHandle());
        GetTextFaceA(screen->getDC(), LF_FACESIZE, realised);
        SelectObject(screen->getDC(), GetStockObject(SYSTEM_FONT));
        screen->release();
    }
    std::printf("face %s (realised as %s), size %d, style %d\n", face.c_str(), realised, size, style);
    std::printf("height %d, ascent %d, descent %d, text width %d\n", metrics->getHeight(), metrics->getAscent(),
                metrics->getDescent(), width - 4);

    int status = 0;
    window::ImageWinDX* image = new window::ImageWinDX(width, height, 1, false);
    if (!image->hasPixels()) {
        std::fprintf(stderr, "hvtext: no image of %d x %d\n", width, height);
        status = 1;
    } else if (!renderLine(font, metrics->getAscent(), ansi, colour, image)) {
        std::fprintf(stderr, "hvtext: a glyph could not be read\n");
        status = 1;
    } else {
        if (opaque)
            flatten(image, background);
        if (!tools::writePng(out, image->getPixels(), image->getWidth(), image->getHeight(), true)) {
            std::fprintf(stderr, "hvtext: cannot write %s\n", out);
            status = 1;
        } else {
            std::printf("wrote %s, %d x %d\n", out, width, height);
        }
    }
    image->release();
    metrics->release();
    font->release();
    return status;
}
