// PngReader.cpp: reading PNG pictures through libpng from memory or a file,
// refusing to read past the end and any chunk longer than the data left.
#include "windowing/images/PngReader.h"

#include "windowing/images/ImageBase.h"
#include "windowing/window/DebugLine.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace window {

namespace {

// The bytes libpng reads: a block of memory, or a file (data null) of the
// given length.
struct Source {
    const unsigned char* data;
    FILE* file;
    size_t length;
    size_t offset;
};

void readFromSource(png_structp png, png_bytep out, size_t count)
{
    Source* source = static_cast<Source*>(png_get_io_ptr(png));
    if (count > source->length - source->offset)
        png_error(png, "read past the end of the PNG data");
    if (source->file) {
        if (std::fread(out, 1, count, source->file) != count)
            png_error(png, "the PNG file could not be read");
    } else {
        std::memcpy(out, source->data + source->offset, count);
    }
    source->offset += count;
    // The library allocates (and clears) some chunks whole before reading
    // them, at the length their header claims; its own size limit only warns.
    // A chunk whose data and 4-byte check value cannot fit in what is left is
    // refused here, before anything is allocated for it.
    if (count == 8 && (png_get_io_state(png) & PNG_IO_MASK_LOC) == PNG_IO_CHUNK_HDR) {
        const uint64_t claimed = png_get_uint_32(out);
        if (claimed + 4 > source->length - source->offset)
            png_error(png, "a PNG chunk is longer than the data");
    }
}

// The library's errors and warnings are diagnostics: the image layer names
// a damaged picture to the player itself. An error ends the read.
void pngError(png_structp png, png_const_charp message)
{
    debugLine("PNG: ", message, "\n");
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp message)
{
    debugLine("PNG: ", message, "\n");
}

} // namespace

bool isPNG(const unsigned char* data)
{
    return png_sig_cmp(const_cast<png_bytep>(data), 0, 4) == 0;
}

bool readPNG(const unsigned char* data, int length, uint32_t*& pixels, int& width, int& height, bool& hasAlpha)
{
    pixels = nullptr;
    FILE* volatile file = nullptr;
    if (length == 0) {
        file = std::fopen(reinterpret_cast<const char*>(data), "rb");
        if (file == nullptr)
            return false;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (png == nullptr) {
        if (file)
            std::fclose(file);
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        if (file)
            std::fclose(file);
        return false;
    }

    Source source = {file ? nullptr : data, file, length > 0 ? size_t(length) : 0, 0};
    if (file) {
        std::fseek(file, 0, SEEK_END);
        long size = std::ftell(file);
        std::rewind(file);
        source.length = size > 0 ? size_t(size) : 0;
    }
    uint32_t* volatile buffer = nullptr;
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        if (file)
            std::fclose(file);
        std::free(rows);
        std::free(buffer);
        return false;
    }
    // Larger pictures than the image layer holds stop at the header.
    png_set_user_limits(png, ImageBase::kMaxSide, ImageBase::kMaxSide);
    png_set_read_fn(png, &source, readFromSource);
    png_set_sig_bytes(png, 0);

    bool ok = false;
    png_read_info(png, info);
    int w = int(png_get_image_width(png, info));
    int h = int(png_get_image_height(png, info));
    if (!ImageBase::decodesImmediately()) {
        if (ImageBase::isAcceptedSize(w, h)) {
            width = w;
            height = h;
            ok = true;
        }
    } else {
        // Every colour type and depth becomes 8-bit blue, green, red, alpha
        // (opaque where the picture has no alpha), decoded straight into the
        // picture's own pixels.
        png_set_strip_16(png);
        png_set_expand(png);
        png_set_gray_to_rgb(png);
        png_set_bgr(png);
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        if (png_get_rowbytes(png, info) == size_t(w) * 4) {
            buffer = ImageBase::allocatePixels(w, h);
            rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * size_t(h > 0 ? h : 1)));
        }
        if (buffer != nullptr && rows != nullptr) {
            for (int y = 0; y < h; ++y)
                rows[y] = reinterpret_cast<png_bytep>(buffer + size_t(y) * size_t(w));
            png_read_image(png, rows);
            png_read_end(png, info);
            pixels = buffer;
            buffer = nullptr;
            width = w;
            height = h;
            hasAlpha = (png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA) != 0;
            ok = true;
        }
        std::free(rows);
        std::free(buffer);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (file)
        std::fclose(file);
    return ok;
}

} // namespace window
