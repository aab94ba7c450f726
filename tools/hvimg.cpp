// hvimg: decodes a picture as the engine does (a file, or "+item" of an
// archive opened with --archive, including "a|b" masked names) and writes
// the pixels as a PNG, so that anyone can look at what the readers produce.
#include "core/lang/Exception.h"
#include "core/lang/ResourceFile.h"
#include "windowing/ImageWinDX.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: hvimg [--archive <archive>] <name> <out.png>\n"
                 "  name: a file path, or +item of the archive; \"a|b\" masks picture a with picture b\n");
    return 2;
}

// Writes 0xAARRGGBB pixels as an 8-bit RGBA PNG.
bool writePng(const char* path, const uint32_t* pixels, int width, int height)
{
    FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    std::vector<png_byte> row(size_t(width) * 4);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        const uint32_t* in = pixels + size_t(y) * size_t(width);
        for (int x = 0; x < width; ++x) {
            row[size_t(4 * x)] = png_byte(in[x] >> 16);
            row[size_t(4 * x + 1)] = png_byte(in[x] >> 8);
            row[size_t(4 * x + 2)] = png_byte(in[x]);
            row[size_t(4 * x + 3)] = png_byte(in[x] >> 24);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    const char* archive = nullptr;
    std::vector<const char*> args;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--archive") == 0 && i + 1 < argc)
            archive = argv[++i];
        else
            args.push_back(argv[i]);
    }
    if (args.size() != 2)
        return usage();

    if (archive) {
        try {
            lang::ResourceFile::open(lang::String(archive));
        } catch (lang::Exception* e) {
            std::fprintf(stderr, "hvimg: %s\n", e->toString().c_str());
            e->release();
            return 1;
        }
    }

    window::ImageWinDX* image = new window::ImageWinDX(lang::String(args[0]), true);
    int status = 0;
    if (!image->hasPixels()) {
        std::fprintf(stderr, "hvimg: %s: %s\n", args[0],
                     image->isLoadFailed() ? "could not be read or decoded" : "too short to be a picture");
        status = 1;
    } else {
        std::printf("%s: %d x %d, %s\n", args[0], image->getWidth(), image->getHeight(),
                    image->hasAlpha() ? "with alpha" : "opaque");
        if (!writePng(args[1], image->getPixels(), image->getWidth(), image->getHeight())) {
            std::fprintf(stderr, "hvimg: cannot write %s\n", args[1]);
            status = 1;
        }
    }
    image->release();
    lang::ResourceFile::closeAll();
    return status;
}
