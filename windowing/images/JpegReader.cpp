// JpegReader.cpp: reading JPEG pictures through libjpeg: the error exit that
// long-jumps back to the reader, the memory data source, and the memory
// module libjpeg calls for its allocations and temporary-file backing store.
// The memory module's entry points are defined here so that they take the
// place of the library's own.
#include "windowing/images/JpegReader.h"

#include "platform/files/TempFiles.h"
#include "windowing/images/ImageBase.h"
#include "windowing/window/DebugLine.h"

#include <unistd.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

// The record libjpeg hands the memory module for one temporary file: three
// operations the module installs, then the module's own fields, laid out as
// the library expects them.
struct backing_store_struct;
typedef backing_store_struct* backing_store_ptr;
struct backing_store_struct {
    void (*read_backing_store)(j_common_ptr cinfo, backing_store_ptr info, void* buffer, long offset, long count);
    void (*write_backing_store)(j_common_ptr cinfo, backing_store_ptr info, void* buffer, long offset, long count);
    void (*close_backing_store)(j_common_ptr cinfo, backing_store_ptr info);
    FILE* temp_file;
    char temp_name[64];
};

namespace {

void readBackingStore(j_common_ptr cinfo, backing_store_ptr info, void* buffer, long offset, long count)
{
    if (std::fseek(info->temp_file, offset, SEEK_SET))
        ERREXIT(cinfo, JERR_TFILE_SEEK);
    if (std::fread(buffer, 1, size_t(count), info->temp_file) != size_t(count))
        ERREXIT(cinfo, JERR_TFILE_READ);
}

void writeBackingStore(j_common_ptr cinfo, backing_store_ptr info, void* buffer, long offset, long count)
{
    if (std::fseek(info->temp_file, offset, SEEK_SET))
        ERREXIT(cinfo, JERR_TFILE_SEEK);
    if (std::fwrite(buffer, 1, size_t(count), info->temp_file) != size_t(count))
        ERREXIT(cinfo, JERR_TFILE_WRITE);
}

void closeBackingStore(j_common_ptr, backing_store_ptr info)
{
    // The file was created delete-on-close: closing it removes it.
    std::fclose(info->temp_file);
    info->temp_file = nullptr;
}

} // namespace

extern "C" {

void* jpeg_get_small(j_common_ptr, size_t size)
{
    return std::malloc(size);
}

void jpeg_free_small(j_common_ptr, void* object, size_t)
{
    std::free(object);
}

void* jpeg_get_large(j_common_ptr, size_t size)
{
    return std::malloc(size);
}

void jpeg_free_large(j_common_ptr, void* object, size_t)
{
    std::free(object);
}

size_t jpeg_mem_available(j_common_ptr cinfo, size_t, size_t, size_t alreadyAllocated)
{
    // What is left of the maximum; nothing once it is used up (the count is
    // unsigned, so the difference must not wrap).
    size_t limit = cinfo->mem->max_memory_to_use > 0 ? size_t(cinfo->mem->max_memory_to_use) : 0;
    return alreadyAllocated < limit ? limit - alreadyAllocated : 0;
}

void jpeg_open_backing_store(j_common_ptr cinfo, backing_store_ptr info, long)
{
    char directory[260];
    char name[260];
    DWORD n = GetTempPathA(sizeof directory, directory);
    if (n == 0 || n >= sizeof directory || GetTempFileNameA(directory, "jpg", 0, name) == 0)
        ERREXITS(cinfo, JERR_TFILE_CREATE, "");
    HANDLE file = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_RANDOM_ACCESS | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        ERREXITS(cinfo, JERR_TFILE_CREATE, "");
    int fd = crtOpenOsfHandle(file, 0);
    if (fd < 0) {
        CloseHandle(file);
        ERREXITS(cinfo, JERR_TFILE_CREATE, "");
    }
    FILE* stream = crtFdopen(fd, "w+b");
    if (stream == nullptr) {
        ::close(fd);
        ERREXITS(cinfo, JERR_TFILE_CREATE, "");
    }
    info->temp_file = stream;
    // The record keeps what fits of the name (for messages only).
    size_t kept = std::strlen(name);
    if (kept > sizeof info->temp_name - 1)
        kept = sizeof info->temp_name - 1;
    std::memcpy(info->temp_name, name, kept);
    info->temp_name[kept] = '\0';
    info->read_backing_store = readBackingStore;
    info->write_backing_store = writeBackingStore;
    info->close_backing_store = closeBackingStore;
}

long jpeg_mem_init(j_common_ptr)
{
    return window::kJpegMaxMemory;
}

void jpeg_mem_term(j_common_ptr) {}

} // extern "C"

namespace window {

namespace {

// The standard error manager followed by the jump buffer of the reader.
struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

// The library's messages (its errors and its warnings) are diagnostics: the
// image layer names a damaged picture to the player itself.
void debugMessage(j_common_ptr cinfo)
{
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    debugLine("JPEG: ", text, "\n");
}

void errorExit(j_common_ptr cinfo)
{
    (*cinfo->err->output_message)(cinfo);
    ErrorManager* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    longjmp(err->jump, 1);
}

const size_t kSourceBufferSize = 4096;

struct MemorySource {
    jpeg_source_mgr pub;
    const JOCTET* data;
    size_t offset;
    size_t length;
    JOCTET* buffer; // kept for the record's layout; data is read in place
    boolean startOfFile;
};

void memSourceInit(j_decompress_ptr cinfo)
{
    reinterpret_cast<MemorySource*>(cinfo->src)->startOfFile = TRUE;
}

boolean memSourceFill(j_decompress_ptr cinfo)
{
    static const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};
    MemorySource* src = reinterpret_cast<MemorySource*>(cinfo->src);
    size_t n = src->length - src->offset;
    if (n > kSourceBufferSize)
        n = kSourceBufferSize;
    if (n >= 1) {
        src->pub.next_input_byte = src->data + src->offset;
        src->pub.bytes_in_buffer = n;
        src->offset += n;
    } else {
        if (src->startOfFile)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->pub.next_input_byte = kEndOfImage;
        src->pub.bytes_in_buffer = 2;
    }
    src->startOfFile = FALSE;
    return TRUE;
}

void memSourceSkip(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    MemorySource* src = reinterpret_cast<MemorySource*>(cinfo->src);
    while (count > long(src->pub.bytes_in_buffer)) {
        count -= long(src->pub.bytes_in_buffer);
        memSourceFill(cinfo);
    }
    src->pub.next_input_byte += count;
    src->pub.bytes_in_buffer -= size_t(count);
}

void memSourceTerm(j_decompress_ptr) {}

} // namespace

void jpeg_memory_src(jpeg_decompress_struct* cinfo, const unsigned char* data, int length)
{
    MemorySource* src = reinterpret_cast<MemorySource*>(cinfo->src);
    // A source record of another kind is not ours to reuse.
    if (src == nullptr || src->pub.init_source != memSourceInit) {
        src = static_cast<MemorySource*>(
            (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(MemorySource)));
        src->buffer = static_cast<JOCTET*>(
            (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, kSourceBufferSize));
        cinfo->src = &src->pub;
    }
    src->pub.init_source = memSourceInit;
    src->pub.fill_input_buffer = memSourceFill;
    src->pub.skip_input_data = memSourceSkip;
    src->pub.resync_to_restart = jpeg_resync_to_restart;
    src->pub.term_source = memSourceTerm;
    src->data = data;
    src->length = length > 0 ? size_t(length) : 0;
    src->offset = 0;
    src->startOfFile = TRUE;
    src->pub.bytes_in_buffer = 0;
    src->pub.next_input_byte = nullptr;
}

namespace {

// Writes one decoded row as blue, green, red, 255.
void widenRow(const JSAMPLE* in, uint32_t* out, int width, int components)
{
    if (components == 1) {
        for (int x = 0; x < width; ++x)
            out[x] = 0xFF000000u | (uint32_t(in[x]) * 0x010101u);
    } else {
        for (int x = 0; x < width; ++x, in += 3)
            out[x] = 0xFF000000u | (uint32_t(in[0]) << 16) | (uint32_t(in[1]) << 8) | in[2];
    }
}

} // namespace

bool readJPEG(const unsigned char* data, int length, uint32_t*& pixels, int& width, int& height)
{
    pixels = nullptr;
    FILE* volatile file = nullptr;
    if (length == 0) {
        file = std::fopen(reinterpret_cast<const char*>(data), "rb");
        if (file == nullptr)
            return false;
    }

    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.output_message = debugMessage;
    uint32_t* volatile buffer = nullptr;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        if (file)
            std::fclose(file);
        std::free(buffer);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    if (file)
        jpeg_stdio_src(&cinfo, file);
    else
        jpeg_memory_src(&cinfo, data, length);
    jpeg_read_header(&cinfo, TRUE);

    bool ok = false;
    if (!ImageBase::decodesImmediately()) {
        jpeg_calc_output_dimensions(&cinfo);
        int w = int(cinfo.output_width);
        int h = int(cinfo.output_height);
        // Only grey and colour pictures have a pixel conversion.
        if ((cinfo.output_components == 1 || cinfo.output_components == 3) && ImageBase::isAcceptedSize(w, h)) {
            width = w;
            height = h;
            ok = true;
        }
    } else {
        jpeg_calc_output_dimensions(&cinfo);
        const int components = cinfo.output_components;
        const int w = int(cinfo.output_width);
        const int h = int(cinfo.output_height);
        if ((components == 1 || components == 3) && ImageBase::isAcceptedSize(w, h)) {
            jpeg_start_decompress(&cinfo);
            JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                        cinfo.output_width * JDIMENSION(components), 1);
            buffer = ImageBase::allocatePixels(w, h);
            if (buffer != nullptr) {
                while (cinfo.output_scanline < cinfo.output_height) {
                    jpeg_read_scanlines(&cinfo, row, 1);
                    widenRow(row[0], buffer + size_t(cinfo.output_scanline - 1) * size_t(w), w, components);
                }
                jpeg_finish_decompress(&cinfo);
                pixels = buffer;
                buffer = nullptr;
                width = w;
                height = h;
                ok = true;
            }
        }
    }
    jpeg_destroy_decompress(&cinfo);
    if (file)
        std::fclose(file);
    return ok;
}

} // namespace window
