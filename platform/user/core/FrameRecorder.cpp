// FrameRecorder.cpp: writes the window's frames to the file HV_LAST_FRAME
// names, through libpng, first to a temporary name and then renamed, so the
// file always holds a whole picture even when the program is killed.
#include "platform/user/core/FrameRecorder.h"

#include <png.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platform {
namespace user {
namespace {

// A picture a second is plenty to show where the program stood, and costs
// the frame loop about nothing.
constexpr auto kInterval = std::chrono::seconds(1);

bool writePng(const std::string& path, const uint32_t* pixels, int width, int height)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<uint8_t> row(size_t(width) * 3);
    bool ok = png && info;
    if (ok && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, f);
        png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y) {
            const uint32_t* in = pixels + size_t(y) * size_t(width);
            for (int x = 0; x < width; ++x) {
                row[size_t(x) * 3] = uint8_t(in[x] >> 16);
                row[size_t(x) * 3 + 1] = uint8_t(in[x] >> 8);
                row[size_t(x) * 3 + 2] = uint8_t(in[x]);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
    } else {
        ok = false;
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return std::fclose(f) == 0 && ok;
}

// The newest frame waits here for the writer thread, which writes it and
// then rests a second, so a busy frame loop costs one picture a second and a
// still screen is on disk within a second of being shown.
struct Pending {
    std::mutex mutex;
    std::condition_variable wake;
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
    bool fresh = false;
    // Counts the final pictures written: a frame the writer took before one
    // was written is older than it and must not be renamed over it.
    unsigned finals = 0;
    // Held across each write of the file, so that the writer's and a final
    // write never share the temporary name or land in the wrong order.
    std::mutex writing;
};

Pending& pending()
{
    static Pending* p = new Pending(); // never destroyed: the writer may outlive main
    return *p;
}

void writeFrame(const std::string& path, const uint32_t* pixels, int width, int height)
{
    const std::string temporary = path + ".part";
    if (!writePng(temporary, pixels, width, height) || std::rename(temporary.c_str(), path.c_str()) != 0)
        std::remove(temporary.c_str());
}

void writerLoop(std::string path)
{
    Pending& p = pending();
    std::vector<uint32_t> pixels;
    for (;;) {
        int width, height;
        unsigned finals;
        {
            std::unique_lock<std::mutex> lock(p.mutex);
            p.wake.wait(lock, [&] { return p.fresh; });
            pixels.swap(p.pixels);
            width = p.width;
            height = p.height;
            finals = p.finals;
            p.fresh = false;
        }
        {
            std::lock_guard<std::mutex> write(p.writing);
            std::unique_lock<std::mutex> lock(p.mutex);
            const bool stale = finals != p.finals;
            lock.unlock();
            if (!stale)
                writeFrame(path, pixels.data(), width, height);
        }
        std::this_thread::sleep_for(kInterval);
    }
}

} // namespace

void FrameRecorder::frameShown(const uint32_t* pixels, int width, int height, bool final)
{
    const char* const path = std::getenv("HV_LAST_FRAME");
    if (!path || !*path || !pixels || width <= 0 || height <= 0)
        return;
    Pending& p = pending();
    if (final) {
        // Waits for a write the writer has begun, then writes over it.
        std::lock_guard<std::mutex> write(p.writing);
        {
            std::lock_guard<std::mutex> lock(p.mutex);
            p.fresh = false;
            ++p.finals;
        }
        writeFrame(path, pixels, width, height);
        return;
    }
    static std::once_flag started;
    std::call_once(started, [path] { std::thread(writerLoop, std::string(path)).detach(); });
    std::lock_guard<std::mutex> lock(p.mutex);
    p.pixels.assign(pixels, pixels + size_t(width) * size_t(height));
    p.width = width;
    p.height = height;
    p.fresh = true;
    p.wake.notify_one();
}

} // namespace user
} // namespace platform
