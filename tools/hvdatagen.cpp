// hvdatagen: makes the game's data beside the game program: packs the data
// manifests (data/manifest, each item named by its path without ".txt") and
// the text items (data/texts.txt) into the archive, draws the pictures their
// descriptions give (data/pictures, each item named by its path with ".png"
// for ".txt") and those of the loading screen, makes the sounds their
// sketches give (data/sounds, each item named by its path with ".wav", or
// by the sketch's line "item NAME"; a line "encode ogg", "encode mp3" or
// "encode s3m" makes it Ogg Vorbis, MP3 or a module of its melody, with that
// extension; see tools/SoundSketch.h), and copies the Lua scripts.
//   hvdatagen DATA_FOLDER OUTPUT_FOLDER
//
// A picture description has one command a line (';' starts a comment):
//   size W H                    the picture's size (800 x 600 when not given)
//   fill COLOUR                 the whole picture in one colour
//   box X Y W H COLOUR          a filled rectangle
//   text X Y SIZE COLOUR "t"    text of that pixel size centred on X, top at Y
//   label X Y "t"               a room's title: light text on a dark plate,
//                               centred on X, top at Y
//   exit X Y W H "t"            an exit: a framed box with an arrow and the
//                               name of the room it leads to
//   round X Y W H R COLOUR      a rectangle with corners of radius R
//   ellipse CX CY RX RY COLOUR  an ellipse
//   triangle X1 Y1 X2 Y2 X3 Y3 COLOUR
//   item NAME                   the archive item's name instead of the path
//   also NAME                   the picture is also the archive item NAME
//                               (an item's cursor picture beside its own)
//   mask NAME                   the picture's alpha mask as the archive item
//                               NAME: black where it is drawn, white where
//                               it is clear (the engine's mask reading)
// Colours are 0xAARRGGBB; a picture is transparent until something is drawn.
//
// A figure description (data/figures/NAME.txt) gives a character's colours
// ("skin 0xFFE8C098", "beard none" ...); every part of the figure is drawn
// from it as the item figures/NAME/PART.png. The balloons' bitmap font is
// drawn from the description fonts/text.txt.
//
// A description of the one command
//   font SIZE
// is a bitmap font instead: white glyphs of the default face at that pixel
// size ("<name>.png") and their glyph table ("<name>_glyphs.png").
#include "core/lang/String.h"
#include "platform/user/Backend.h"
#include "tools/FigurePainter.h"
#include "tools/GlyphPainter.h"
#include "tools/GlyphTable.h"
#include "tools/Picture.h"
#include "tools/PngWriter.h"
#include "tools/S3mWriter.h"
#include "tools/SoundSketch.h"
#include "tools/VorbisWriter.h"
#include "tools/archive/ArchiveWriter.h"
#include "windowing/fonts/Font.h"
#include "windowing/fonts/FontMetrics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

using tools::mix;
using tools::Picture;

// The engine's default face at a pixel height, white glyphs.
class TextPen {
public:
    explicit TextPen(int size) : m_font(new window::Font("Arial", 0, size, DEFAULT_CHARSET, 0, 0))
    {
        window::FontMetrics* metrics = m_font->getFontMetrics();
        m_ascent = metrics->getAscent();
        m_height = metrics->getHeight();
        metrics->release();
    }
    ~TextPen() { m_font->release(); }
    TextPen(const TextPen&) = delete;
    TextPen& operator=(const TextPen&) = delete;

    int ascent() const { return m_ascent; }
    int height() const { return m_height; }
    window::Font* font() const { return m_font; }

    // The text's width in pixels.
    int width(const std::string& text)
    {
        Picture scratch(1, 1);
        tools::GlyphPainter painter(m_font);
        int pen = 0;
        for (unsigned char c : text)
            pen += std::max(0, painter.draw(c, scratch.pixels.data(), 0, 0, pen, 0));
        return pen;
    }
    // Writes the text in `rgb` with its top-left corner at (x, y).
    void write(Picture& target, const std::string& text, int x, int y, uint32_t rgb)
    {
        Picture ink(target.width, target.height);
        {
            tools::GlyphPainter painter(m_font);
            int pen = x;
            for (unsigned char c : text)
                pen += std::max(0, painter.draw(c, ink.pixels.data(), ink.width, ink.height, pen, y + m_ascent));
        }
        for (int py = 0; py < target.height; ++py)
            for (int px = 0; px < target.width; ++px)
                target.blend(px, py, rgb, (ink.pixels[size_t(py) * size_t(ink.width) + size_t(px)] >> 24) / 255.0);
    }
    // Centred on x.
    void writeCentred(Picture& target, const std::string& text, int cx, int y, uint32_t rgb)
    {
        write(target, text, cx - width(text) / 2, y, rgb);
    }

private:
    window::Font* m_font;
    int m_ascent = 0;
    int m_height = 0;
};

Picture logo(TextPen& pen)
{
    Picture p(400, 200);
    p.ellipse(200, 70, 60, 60, 0xFFFFC040u, 0.2);
    p.roundRect(180, 30, 40, 70, 6, 0xFFFFD27Au);
    p.ellipse(200, 66, 9, 18, 0xFFFFF6D8u);
    p.roundRect(172, 22, 56, 10, 4, 0xFF3A2C1Eu);
    p.roundRect(172, 98, 56, 10, 4, 0xFF3A2C1Eu);
    pen.writeCentred(p, "Lanternfield", 200, 130, 0xFFF0E6C8u);
    return p;
}

Picture loadingLabel(TextPen& pen)
{
    Picture p(190, 24);
    pen.writeCentred(p, "Loading...", 95, 12 - pen.height() / 2, 0xFFF0E6C8u);
    return p;
}

Picture loadBar()
{
    Picture p(426, 14);
    for (int x = 0; x < 426; ++x)
        for (int y = 0; y < 14; ++y)
            p.blend(x, y, mix(0xFFB06A20u, 0xFFFFD27Au, x / 425.0), y == 0 || y == 13 ? 0.6 : 1.0);
    return p;
}

std::string readFile(const fs::path& path, bool& ok)
{
    std::ifstream in(path, std::ios::binary);
    ok = bool(in);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The manifest with its lines ended by CR LF: the tokenizer ends a comment
// only at a carriage return.
std::string withCrLf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

std::string trim(const std::string& s)
{
    const size_t b = s.find_first_not_of(" \t\r");
    const size_t e = s.find_last_not_of(" \t\r");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// The words of a description line: quoted texts as one word, ';' ends it.
std::vector<std::string> words(const std::string& line)
{
    std::vector<std::string> out;
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ';')
            break;
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '"') {
            const size_t end = line.find('"', i + 1);
            out.push_back(line.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1));
            i = end == std::string::npos ? line.size() : end + 1;
        } else {
            const size_t end = line.find_first_of(" \t\r;\"", i);
            out.push_back(line.substr(i, end == std::string::npos ? std::string::npos : end - i));
            i = end == std::string::npos ? line.size() : end;
        }
    }
    return out;
}

// The pens of the sizes the descriptions use, made on first use.
class Pens {
public:
    TextPen& of(int size)
    {
        std::unique_ptr<TextPen>& pen = m_pens[size];
        if (!pen)
            pen = std::make_unique<TextPen>(size);
        return *pen;
    }

private:
    std::map<int, std::unique_ptr<TextPen>> m_pens;
};

int number(const std::string& word)
{
    return int(std::stoll(word, nullptr, 0));
}

uint32_t colour(const std::string& word)
{
    return uint32_t(std::stoull(word, nullptr, 0));
}

// The name on one line, or on two split at the space nearest its middle
// when it is wider than `width`.
std::vector<std::string> linesOf(TextPen& pen, const std::string& name, int width)
{
    if (pen.width(name) <= width)
        return {name};
    size_t best = std::string::npos;
    for (size_t i = name.find(' '); i != std::string::npos; i = name.find(' ', i + 1)) {
        if (best == std::string::npos || std::abs(int(i) - int(name.size() / 2)) < std::abs(int(best) - int(name.size() / 2)))
            best = i;
    }
    if (best == std::string::npos)
        return {name};
    return {name.substr(0, best), name.substr(best + 1)};
}

// A room's title, centred on x from y down: light text of 22 pixels on a
// dark translucent plate, on two lines when wider than 200 pixels (the
// width between a room's north-west and north exits, where titles stand).
void drawLabel(Picture& p, Pens& pens, int x, int y, const std::string& name)
{
    constexpr int kLabelWidth = 200;
    TextPen& pen = pens.of(22);
    const std::vector<std::string> lines = linesOf(pen, name, kLabelWidth);
    int widest = 0;
    for (const std::string& line : lines)
        widest = std::max(widest, pen.width(line));
    p.roundRect(x - widest / 2 - 8, y, widest + 16, int(lines.size()) * pen.height() + 8, 8, 0xFF14202Cu, 0.55);
    int top = y + 4;
    for (const std::string& line : lines) {
        pen.writeCentred(p, line, x, top, 0xFFF0E6C8u);
        top += pen.height();
    }
}

// The words of the text on lines no wider than `width` where the words
// allow (a word wider than that stands on a line of its own).
std::vector<std::string> wordLines(TextPen& pen, const std::string& text, int width)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        if (!lines.empty() && pen.width(lines.back() + " " + word) <= width)
            lines.back() += " " + word;
        else
            lines.push_back(word);
    }
    return lines;
}

int widestLine(TextPen& pen, const std::vector<std::string>& lines)
{
    int widest = 0;
    for (const std::string& line : lines)
        widest = std::max(widest, pen.width(line));
    return widest;
}

// An exit's name is written in pens of this size, or down to the smallest
// when a word of it would not fit the frame.
constexpr int kExitTextSize = 14;
constexpr int kExitTextSmallest = 10;

// An exit: a translucent framed box, an arrow toward the box's nearest
// screen edge and the name of the room the exit leads to.
void drawExit(Picture& p, Pens& pens, int x, int y, int w, int h, const std::string& name)
{
    p.roundRect(x + 4, y + 4, w - 8, h - 8, 8, 0xFFFFE8B0u, 0.25);
    for (int i = 0; i < 2; ++i) {
        p.roundRect(x + 4 + i, y + 4 + i, w - 8 - 2 * i, 2, 1, 0xFFFFE8B0u, 0.8);
        p.roundRect(x + 4 + i, y + h - 6 - i, w - 8 - 2 * i, 2, 1, 0xFFFFE8B0u, 0.8);
        p.roundRect(x + 4 + i, y + 4 + i, 2, h - 8 - 2 * i, 1, 0xFFFFE8B0u, 0.8);
        p.roundRect(x + w - 6 - i, y + 4 + i, 2, h - 8 - 2 * i, 1, 0xFFFFE8B0u, 0.8);
    }
    const double cx = x + w / 2.0, cy = y + h / 2.0;
    double dx = cx < 200 ? -1 : cx > 600 ? 1 : 0;
    double dy = cy < 150 ? -1 : cy > 400 ? 1 : 0;
    for (int step = 0; step < 5; ++step)
        p.ellipse(cx + dx * (step * 4 - 8), cy - 18 + dy * (step * 4 - 8), 3.0, 3.0, 0xFFFFE8B0u, 0.4 + step * 0.12);
    // The name within the frame (5 pixels clear of it, under the arrow): on
    // as many lines as it needs, word by word, in a smaller pen while a word
    // would stick out or the lines would reach the frame's foot or the arrow.
    const int width = w - 22;
    const int arrowFoot = int(cy - 18 + 8 * std::abs(dy) + 3) + 2;
    const int foot = y + h - 11;
    const int height = std::min(h - 40, foot - arrowFoot);
    int size = kExitTextSize;
    std::vector<std::string> lines = wordLines(pens.of(size), name, width);
    while (size > kExitTextSmallest &&
           (widestLine(pens.of(size), lines) > width || int(lines.size()) * pens.of(size).height() > height))
        lines = wordLines(pens.of(--size), name, width);
    TextPen& pen = pens.of(size);
    int top = std::max(arrowFoot, int(cy) + 2 - int(lines.size()) * pen.height() / 2 + 8);
    for (const std::string& line : lines) {
        pen.writeCentred(p, line, int(cx), top, 0xFFFFF4D8u);
        top += pen.height();
    }
}

// Takes a sketch's "item NAME" line out of `text`; NAME, or `item` when
// there is none (the game asks for its music by a name of its own).
std::string takeItemName(std::string& text, std::string item)
{
    std::istringstream in(text);
    std::string rest;
    for (std::string line; std::getline(in, line);) {
        const std::vector<std::string> w = words(line);
        // The line stays, emptied, so that errors name the right line.
        if (w.size() == 2 && w[0] == "item")
            item = w[1];
        else
            rest += line;
        rest += "\n";
    }
    text = rest;
    return item;
}

// Takes a sketch's "encode FORMAT" line (ogg, mp3 or s3m) out of `text`;
// FORMAT, or "wav" when there is none.
std::string takeEncoding(std::string& text)
{
    std::istringstream in(text);
    std::string rest, format = "wav";
    for (std::string line; std::getline(in, line);) {
        const std::vector<std::string> w = words(line);
        if (w.size() == 2 && w[0] == "encode")
            format = w[1];
        else
            rest += line;
        rest += "\n";
    }
    text = rest;
    return format;
}

// The sketch's sound as MP3, encoded by the lame program from a WAV file
// written beside the output (64 kbit/s is plenty for the sketched tunes),
// without lame's tag frame: the engine plays it as a frame of silence,
// which a looping tune would repeat at every turn.
std::vector<uint8_t> mp3ByLame(const tools::SoundSketch& sound, const fs::path& scratch, std::string& error)
{
    const fs::path wav = scratch.string() + ".wav";
    const fs::path mp3 = scratch.string() + ".mp3";
    const std::vector<uint8_t> pcm = sound.wav();
    std::ofstream(wav, std::ios::binary).write(reinterpret_cast<const char*>(pcm.data()), std::streamsize(pcm.size()));
    const pid_t child = fork();
    if (child == 0) {
        execlp("lame", "lame", "--quiet", "-t", "-b", "64", wav.c_str(), mp3.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = -1;
    if (child > 0)
        waitpid(child, &status, 0);
    std::vector<uint8_t> bytes;
    if (child > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        std::ifstream in(mp3, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::error_code ec;
    fs::remove(wav, ec);
    fs::remove(mp3, ec);
    if (bytes.empty())
        error = "the lame program (scripts/deps.sh installs it) could not encode it as MP3";
    return bytes;
}

// The sketch's sound in its format: a WAV file, Ogg Vorbis, MP3, or an S3M
// module of its melody; empty with `error` set when it cannot be made.
std::vector<uint8_t> encodeSketch(const tools::SoundSketch& sound, const std::string& format, const std::string& item,
                                  const fs::path& scratch, std::string& error)
{
    if (format == "wav")
        return sound.wav();
    if (format == "ogg") {
        std::vector<float> pcm(sound.samples().begin(), sound.samples().end());
        for (float& v : pcm)
            v /= 32768.0f;
        std::vector<uint8_t> bytes = tools::VorbisWriter::encode({pcm}, tools::SoundSketch::RATE);
        if (bytes.empty())
            error = "the Vorbis encoder refused it";
        return bytes;
    }
    if (format == "mp3")
        return mp3ByLame(sound, scratch, error);
    if (format == "s3m") {
        std::vector<tools::S3mWriter::Note> melody;
        if (!sound.melody(melody)) {
            error = "a module holds tones and rests only";
            return {};
        }
        return tools::S3mWriter::module(item, melody);
    }
    error = "no such encoding: " + format;
    return {};
}

// A bitmap font of the pen's face: codes 32 to 255 in a grid of cells one
// line high and as wide as the widest advance with a margin on either side
// (for glyphs that reach past their pen or their advance), white glyphs.
struct BitmapFont {
    Picture glyphs{1, 1};
    Picture table{1, 1};
};

BitmapFont bitmapFont(TextPen& pen)
{
    constexpr int kColumns = 16;
    constexpr int kMargin = 2;
    constexpr int kCount = 256 - tools::GlyphTable::kFirstCode;
    tools::GlyphPainter painter(pen.font());
    Picture scratch(1, 1);
    std::vector<int> advances(kCount);
    int widest = 1;
    for (int i = 0; i < kCount; ++i) {
        const auto code = static_cast<unsigned char>(tools::GlyphTable::kFirstCode + i);
        advances[size_t(i)] = std::max(0, painter.draw(code, scratch.pixels.data(), 0, 0, 0, 0));
        widest = std::max(widest, advances[size_t(i)]);
    }
    const int cellWidth = widest + 2 * kMargin;
    const int cellHeight = pen.height();
    BitmapFont font;
    font.glyphs = Picture(kColumns * cellWidth, (kCount + kColumns - 1) / kColumns * cellHeight);
    std::vector<tools::GlyphRecord> records(kCount);
    for (int i = 0; i < kCount; ++i) {
        const int x = i % kColumns * cellWidth;
        const int y = i / kColumns * cellHeight;
        painter.draw(static_cast<unsigned char>(tools::GlyphTable::kFirstCode + i), font.glyphs.pixels.data(),
                     font.glyphs.width, font.glyphs.height, x + kMargin, y + pen.ascent());
        // The glyph's box ends at its last inked column or its advance,
        // whichever is further: a box wider than that would count as ink
        // reaching past the advance, and lines would wrap short.
        int inked = 0;
        for (int cx = 0; cx < cellWidth; ++cx) {
            for (int cy = 0; cy < cellHeight; ++cy) {
                if (font.glyphs.pixels[size_t(y + cy) * size_t(font.glyphs.width) + size_t(x + cx)] >> 24)
                    inked = cx + 1;
            }
        }
        const int boxWidth = std::min(cellWidth, std::max(inked, kMargin + advances[size_t(i)]));
        records[size_t(i)] = {x, y, boxWidth, cellHeight, -kMargin, advances[size_t(i)]};
    }
    for (uint32_t& p : font.glyphs.pixels)
        p = (p & 0xFF000000u) | 0x00FFFFFFu;
    const tools::GlyphTable table(records);
    font.table = Picture(tools::GlyphTable::kWords, table.height());
    font.table.pixels = table.pixels();
    return font;
}

// The pixel size of a "font SIZE" description, or 0 for a picture.
int fontSize(const std::string& text)
{
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const std::vector<std::string> w = words(line);
        if (w.empty())
            continue;
        return w.size() == 2 && w[0] == "font" ? std::max(0, std::atoi(w[1].c_str())) : 0;
    }
    return 0;
}

// The picture's alpha as a mask: opaque black where it is drawn, white
// where it is clear, in between at its soft edges.
Picture alphaMask(const Picture& picture)
{
    Picture mask(picture.width, picture.height);
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
        const uint32_t clear = 255u - (picture.pixels[i] >> 24);
        mask.pixels[i] = 0xFF000000u | clear << 16 | clear << 8 | clear;
    }
    return mask;
}

// Draws the description; false (after a message) on a line it cannot read.
// `item` becomes the archive item's name when the description gives one; the
// further names it gives go to `aliases`, the name of its mask to `mask`.
bool drawDescription(const std::string& text, const std::string& name, Pens& pens, Picture& out, std::string& item,
                     std::vector<std::string>& aliases, std::string& mask)
{
    std::istringstream in(text);
    Picture p(800, 600);
    int lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        const std::vector<std::string> w = words(line);
        if (w.empty())
            continue;
        const std::string& op = w[0];
        try {
            if (op == "size" && w.size() == 3) {
                p = Picture(number(w[1]), number(w[2]));
            } else if (op == "fill" && w.size() == 2) {
                std::fill(p.pixels.begin(), p.pixels.end(), colour(w[1]));
            } else if (op == "box" && w.size() == 6) {
                const uint32_t c = colour(w[5]);
                const int x0 = number(w[1]), y0 = number(w[2]);
                for (int y = y0; y < y0 + number(w[4]); ++y)
                    for (int x = x0; x < x0 + number(w[3]); ++x)
                        p.blend(x, y, c | 0xFF000000u, (c >> 24) / 255.0);
            } else if (op == "text" && w.size() == 6) {
                pens.of(number(w[3])).writeCentred(p, w[5], number(w[1]), number(w[2]), colour(w[4]));
            } else if (op == "label" && w.size() == 4) {
                drawLabel(p, pens, number(w[1]), number(w[2]), w[3]);
            } else if (op == "exit" && w.size() == 6) {
                drawExit(p, pens, number(w[1]), number(w[2]), number(w[3]), number(w[4]), w[5]);
            } else if (op == "round" && w.size() == 7) {
                const uint32_t c = colour(w[6]);
                p.roundRect(number(w[1]), number(w[2]), number(w[3]), number(w[4]), number(w[5]), c,
                            (c >> 24) / 255.0);
            } else if (op == "ellipse" && w.size() == 6) {
                const uint32_t c = colour(w[5]);
                p.ellipse(number(w[1]), number(w[2]), number(w[3]), number(w[4]), c, (c >> 24) / 255.0);
            } else if (op == "triangle" && w.size() == 8) {
                const uint32_t c = colour(w[7]);
                p.triangle(number(w[1]), number(w[2]), number(w[3]), number(w[4]), number(w[5]), number(w[6]), c,
                           (c >> 24) / 255.0);
            } else if (op == "item" && w.size() == 2) {
                item = w[1];
            } else if (op == "also" && w.size() == 2) {
                aliases.push_back(w[1]);
            } else if (op == "mask" && w.size() == 2) {
                mask = w[1];
            } else {
                throw std::invalid_argument(op);
            }
        } catch (const std::exception&) {
            std::fprintf(stderr, "hvdatagen: %s, line %d: cannot read \"%s\"\n", name.c_str(), lineNumber,
                         line.c_str());
            return false;
        }
    }
    out = p;
    return true;
}

// Draws the figure of each description below the folder as its parts;
// false (after a message) on a description it cannot read.
bool drawFigures(const fs::path& folder, tools::ArchiveWriter& archive, size_t& count);

// The files with this ending below the folder, by their path relative to it
// ('/' separated) without the ending.
std::vector<std::pair<std::string, fs::path>> filesBelow(const fs::path& folder, const std::string& ending)
{
    std::vector<std::pair<std::string, fs::path>> found;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file() || it->path().extension() != ending)
            continue;
        fs::path relative = fs::relative(it->path(), folder);
        relative.replace_extension();
        found.push_back({relative.generic_string(), it->path()});
    }
    std::sort(found.begin(), found.end());
    return found;
}

bool drawFigures(const fs::path& folder, tools::ArchiveWriter& archive, size_t& count)
{
    for (const auto& description : filesBelow(folder, ".txt")) {
        bool read = false;
        const std::string text = readFile(description.second, read);
        tools::FigureStyle style;
        std::string error;
        if (!read || !tools::FigurePainter::parse(text, style, error)) {
            std::fprintf(stderr, "hvdatagen: figure %s: %s\n", description.first.c_str(), error.c_str());
            return false;
        }
        for (const auto& part : tools::FigurePainter::parts(style))
            archive.add("figures/" + description.first + "/" + part.first + ".png", part.second.png());
        ++count;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: hvdatagen DATA_FOLDER OUTPUT_FOLDER\n");
        return 2;
    }
    // Fonts need the screen's context but no display.
    platform::setWindowBackend("headless");
    const fs::path data = argv[1], out = argv[2];
    std::error_code ec;
    fs::create_directories(out, ec);

    tools::ArchiveWriter archive;
    bool ok = true;
    const auto manifests = filesBelow(data / "manifest", ".txt");
    for (const auto& manifest : manifests) {
        bool read = false;
        archive.add(manifest.first, withCrLf(readFile(manifest.second, read)));
        ok = ok && read;
    }
    bool read = false;
    std::istringstream texts(readFile(data / "texts.txt", read));
    ok = ok && read;
    for (std::string line; std::getline(texts, line);) {
        const size_t eq = line.find('=');
        if (trim(line).empty() || trim(line)[0] == '#' || eq == std::string::npos)
            continue;
        // A text in double quotes keeps its leading and trailing spaces.
        std::string value = trim(line.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        archive.addText(trim(line.substr(0, eq)), value);
    }

    Pens pens;
    const auto descriptions = filesBelow(data / "pictures", ".txt");
    for (const auto& description : descriptions) {
        const std::string text = readFile(description.second, read);
        ok = ok && read;
        if (const int size = fontSize(text)) {
            const BitmapFont font = bitmapFont(pens.of(size));
            archive.add(description.first + ".png", font.glyphs.png());
            archive.add(description.first + "_glyphs.png", font.table.png());
            continue;
        }
        Picture picture(1, 1);
        std::string item = description.first + ".png";
        std::vector<std::string> aliases;
        std::string mask;
        ok = ok && drawDescription(text, description.first, pens, picture, item, aliases, mask);
        const std::vector<uint8_t> png = picture.png();
        archive.add(item, png);
        for (const std::string& alias : aliases)
            archive.add(alias, png);
        if (!mask.empty())
            archive.add(mask, alphaMask(picture).png());
    }
    const auto sketches = filesBelow(data / "sounds", ".txt");
    for (const auto& sketch : sketches) {
        tools::SoundSketch sound;
        std::string error;
        std::string text = readFile(sketch.second, read);
        const std::string format = takeEncoding(text);
        const std::string item = takeItemName(text, "sounds/" + sketch.first + "." + format);
        std::vector<uint8_t> bytes;
        if (sound.read(text, error) && read)
            bytes = encodeSketch(sound, format, item, out / ("." + sketch.first), error);
        if (bytes.empty()) {
            std::fprintf(stderr, "hvdatagen: sounds/%s: %s\n", sketch.first.c_str(), error.c_str());
            ok = false;
        }
        archive.add(item, bytes);
    }
    size_t figures = 0;
    ok = drawFigures(data / "figures", archive, figures) && ok;
    archive.add("logo", logo(pens.of(28)).png());
    archive.add("loading", loadingLabel(pens.of(20)).png());
    archive.add("loadbar", loadBar().png());
    ok = ok && archive.write((out / "Lanternfield.bin").string());

    int scripts = 0;
    for (const auto& entry : fs::directory_iterator(data / "scripts")) {
        if (entry.path().extension() == ".lua") {
            ok = ok && fs::copy_file(entry.path(), out / entry.path().filename(), fs::copy_options::overwrite_existing, ec);
            ++scripts;
        }
    }
    if (!ok) {
        std::fprintf(stderr, "hvdatagen: the game data could not be made in %s\n", out.string().c_str());
        return 1;
    }
    std::printf("hvdatagen: %zu manifests, %zu pictures, %zu figures, %zu sounds, %zu archive items and %d scripts in %s\n",
                manifests.size(), descriptions.size(), figures, sketches.size(), archive.size(), scripts,
                out.string().c_str());
    return 0;
}
