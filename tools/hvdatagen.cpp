// hvdatagen: makes the sample's data beside the sample program: draws its
// pictures (the sky, moon, cloud, lantern, bell button, splash, loading bar
// and a bitmap font from the engine's fonts), makes the bell's sound, and
// packs them with the manifests and texts of data/ into the archive, the
// moon and cloud into an image pack, and copies the Lua scripts.
//   hvdatagen DATA_FOLDER OUTPUT_FOLDER
#include "core/lang/String.h"
#include "platform/user/Backend.h"
#include "sprites/loader/DataLoader.h"
#include "tools/GlyphPainter.h"
#include "tools/GlyphTable.h"
#include "tools/ImagePackWriter.h"
#include "tools/PngWriter.h"
#include "tools/WavWriter.h"
#include "tools/archive/ArchiveWriter.h"
#include "windowing/fonts/Font.h"
#include "windowing/fonts/FontMetrics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A picture being drawn: 0xAARRGGBB pixels, drawn over with "source over".
struct Picture {
    Picture(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}

    // Mixes colour `rgb` with coverage `alpha` (0..1) over the pixel.
    void blend(int x, int y, uint32_t rgb, double alpha)
    {
        if (x < 0 || y < 0 || x >= width || y >= height || alpha <= 0.0)
            return;
        alpha = std::min(alpha, 1.0);
        uint32_t& p = pixels[size_t(y) * size_t(width) + size_t(x)];
        const double below = (p >> 24) / 255.0;
        const double out = alpha + below * (1.0 - alpha);
        uint32_t result = uint32_t(std::lround(out * 255.0)) << 24;
        for (int shift = 0; shift < 24; shift += 8) {
            const double s = (rgb >> shift & 0xFF) / 255.0;
            const double d = (p >> shift & 0xFF) / 255.0;
            const double c = out > 0.0 ? (s * alpha + d * below * (1.0 - alpha)) / out : 0.0;
            result |= uint32_t(std::lround(c * 255.0)) << shift;
        }
        p = result;
    }
    // An ellipse with a soft edge about a pixel wide.
    void ellipse(double cx, double cy, double rx, double ry, uint32_t rgb, double alpha = 1.0)
    {
        for (int y = int(cy - ry) - 1; y <= int(cy + ry) + 1; ++y)
            for (int x = int(cx - rx) - 1; x <= int(cx + rx) + 1; ++x) {
                const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
                const double d = (1.0 - std::sqrt(dx * dx + dy * dy)) * std::min(rx, ry);
                blend(x, y, rgb, alpha * std::clamp(d + 0.5, 0.0, 1.0));
            }
    }
    // A rectangle with rounded corners of radius r.
    void roundRect(int x0, int y0, int w, int h, double r, uint32_t rgb, double alpha = 1.0)
    {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) {
                const double px = x + 0.5, py = y + 0.5;
                const double qx = std::max({x0 + r - px, px - (x0 + w - r), 0.0});
                const double qy = std::max({y0 + r - py, py - (y0 + h - r), 0.0});
                const double d = r - std::sqrt(qx * qx + qy * qy);
                blend(x, y, rgb, alpha * std::clamp(d + 0.5, 0.0, 1.0));
            }
    }
    std::vector<uint8_t> png() const { return tools::encodePng(pixels.data(), width, height, true); }

    int width;
    int height;
    std::vector<uint32_t> pixels;
};

uint32_t mix(uint32_t a, uint32_t b, double t)
{
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const double ca = a >> shift & 0xFF, cb = b >> shift & 0xFF;
        out |= uint32_t(std::lround(ca + (cb - ca) * t)) << shift;
    }
    return out;
}

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

// A night sky over dark hills, with stars placed by a fixed sequence.
Picture sky()
{
    Picture p(800, 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            p.pixels[size_t(y) * 800 + size_t(x)] = mix(0xFF070B24u, 0xFF45325Eu, std::min(1.0, y / 470.0));
    uint32_t seed = 12345;
    for (int i = 0; i < 140; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int x = int(seed >> 8) % 800;
        seed = seed * 1103515245u + 12345u;
        const int y = int(seed >> 8) % 380;
        p.ellipse(x + 0.5, y + 0.5, 0.9 + (i % 3) * 0.35, 0.9 + (i % 3) * 0.35, 0xFFFFF8E0u, 0.5 + (i % 5) * 0.1);
    }
    for (int x = 0; x < 800; ++x) {
        const double far = 455 + 18 * std::sin(x / 90.0) + 9 * std::sin(x / 37.0 + 1.0);
        const double near = 500 + 26 * std::sin(x / 140.0 + 2.0);
        for (int y = int(far); y < 600; ++y)
            p.blend(x, y, y < near ? 0xFF1C1A33u : 0xFF121222u, 1.0);
    }
    return p;
}

Picture moon()
{
    Picture p(96, 96);
    p.ellipse(48, 48, 46, 46, 0xFFFFF4C8u, 0.25);
    p.ellipse(48, 48, 38, 38, 0xFFFFF1C2u);
    p.ellipse(36, 38, 8, 7, 0xFFE6D9A6u, 0.8);
    p.ellipse(58, 60, 11, 9, 0xFFE6D9A6u, 0.7);
    p.ellipse(60, 32, 5, 5, 0xFFE6D9A6u, 0.7);
    return p;
}

Picture cloud()
{
    Picture p(180, 70);
    const double puffs[][3] = {{40, 44, 24}, {72, 32, 28}, {108, 30, 26}, {138, 44, 22}, {90, 48, 30}};
    for (const auto& c : puffs)
        p.ellipse(c[0], c[1], c[2] * 1.1, c[2] * 0.8, 0xFFB8BCD8u, 0.85);
    return p;
}

// Four frames of a lantern whose flame flickers.
Picture lantern()
{
    Picture p(256, 96);
    const double glow[4] = {1.0, 0.8, 0.92, 0.7};
    for (int f = 0; f < 4; ++f) {
        const int x0 = f * 64;
        p.ellipse(x0 + 32, 54, 30 * glow[f], 34 * glow[f], 0xFFFFC040u, 0.25);
        p.roundRect(x0 + 22, 6, 20, 6, 2, 0xFF2B2118u);
        p.roundRect(x0 + 14, 12, 36, 8, 3, 0xFF3A2C1Eu);
        p.roundRect(x0 + 18, 20, 28, 56, 4, 0xFFFFD27Au, 0.85);
        p.ellipse(x0 + 32, 52 - f % 2, 7 * glow[f], 13 * glow[f], 0xFFFFF6D8u);
        for (int bar = 0; bar < 3; ++bar)
            p.roundRect(x0 + 18 + bar * 12, 20, 4, 56, 1, 0xFF3A2C1Eu);
        p.roundRect(x0 + 14, 76, 36, 10, 3, 0xFF3A2C1Eu);
    }
    return p;
}

// The bell button: normal, rollover and disabled frames with their label.
Picture bell(TextPen& pen)
{
    Picture p(360, 40);
    const uint32_t faces[3] = {0xFFC8963Cu, 0xFFEBC060u, 0xFF707070u};
    const uint32_t ink[3] = {0xFF2A1A08u, 0xFF2A1A08u, 0xFFB0B0B0u};
    for (int f = 0; f < 3; ++f) {
        p.roundRect(f * 120 + 2, 2, 116, 36, 10, 0xFF1A1208u, 0.6);
        p.roundRect(f * 120, 0, 116, 36, 10, faces[f]);
        pen.writeCentred(p, "Ring", f * 120 + 58, 18 - pen.height() / 2, ink[f]);
    }
    return p;
}

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

// The bitmap font: every code 32..255 in a cell of a 16-column grid, drawn
// with the pen 2 pixels into its cell, and the glyph table saying so.
void bitmapFont(TextPen& pen, tools::ArchiveWriter& archive)
{
    const int first = tools::GlyphTable::kFirstCode;
    const int count = 256 - first;
    const int columns = 16;
    const int cellHeight = pen.height();
    std::vector<int> advances(size_t(count), 0);
    int widest = 0;
    {
        Picture scratch(1, 1);
        tools::GlyphPainter painter(pen.font());
        for (int i = 0; i < count; ++i) {
            advances[size_t(i)] = std::max(0, painter.draw((unsigned char)(first + i), scratch.pixels.data(), 0, 0, 0, 0));
            widest = std::max(widest, advances[size_t(i)]);
        }
    }
    // Room for glyphs that reach past their advance on either side.
    const int pad = 2;
    const int cellWidth = widest + 2 * pad + 2;
    const int rows = (count + columns - 1) / columns;
    Picture atlas(columns * cellWidth, rows * cellHeight, 0x00FFFFFFu);
    std::vector<tools::GlyphRecord> records(static_cast<size_t>(count));
    {
        tools::GlyphPainter painter(pen.font());
        for (int i = 0; i < count; ++i) {
            const int x = (i % columns) * cellWidth, y = (i / columns) * cellHeight;
            painter.draw((unsigned char)(first + i), atlas.pixels.data(), atlas.width, atlas.height, x + pad,
                         y + pen.ascent());
            tools::GlyphRecord& r = records[size_t(i)];
            r.x = x;
            r.y = y;
            r.width = first + i == ' ' ? 0 : cellWidth;
            r.height = cellHeight;
            r.left = -pad;
            r.right = advances[size_t(i)];
        }
    }
    archive.add("font", atlas.png());
    const tools::GlyphTable table(records);
    const std::vector<uint32_t> words = table.pixels();
    archive.add("glyphs", tools::encodePng(words.data(), tools::GlyphTable::kWords, table.height(), true));
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
    for (const char* manifest : {"datfile", "panel"}) {
        bool read = false;
        archive.add(manifest, withCrLf(readFile(data / (std::string(manifest) + ".txt"), read)));
        ok = ok && read;
    }
    bool read = false;
    std::istringstream texts(readFile(data / "texts.txt", read));
    ok = ok && read;
    for (std::string line; std::getline(texts, line);) {
        const size_t eq = line.find('=');
        if (trim(line).empty() || trim(line)[0] == '#' || eq == std::string::npos)
            continue;
        archive.addText(trim(line.substr(0, eq)), trim(line.substr(eq + 1)));
    }

    TextPen big(28), small(20);
    archive.add("sky", sky().png());
    archive.add("lantern", lantern().png());
    archive.add("bell", bell(small).png());
    archive.add("logo", logo(big).png());
    archive.add("loading", loadingLabel(small).png());
    archive.add("loadbar", loadBar().png());
    bitmapFont(small, archive);
    // A bell: a high tone fading over half a second.
    archive.add("ring", tools::toneWav(1046.5, 500));

    tools::ImagePackWriter pack(sprite::DataLoader::kImagePackKey);
    pack.add("moon", moon().png());
    pack.add("cloud", cloud().png());
    ok = ok && pack.write((out / "pack.bin").string());
    ok = ok && archive.write((out / "Lanternfield.bin").string());

    for (const auto& entry : fs::directory_iterator(data / "scripts")) {
        if (entry.path().extension() == ".lua")
            ok = ok && fs::copy_file(entry.path(), out / entry.path().filename(), fs::copy_options::overwrite_existing, ec);
    }
    if (!ok) {
        std::fprintf(stderr, "hvdatagen: the sample data could not be made in %s\n", out.string().c_str());
        return 1;
    }
    std::printf("hvdatagen: %zu archive items, 2 pack pictures and the scripts in %s\n", archive.size(),
                out.string().c_str());
    return 0;
}
