// FileLayerTest.cpp: the sound file layer's windows, buffered reads and
// seeks, and big-endian element swapping.
#include "sound/core/system_file.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<uint8_t> counting(int n)
{
    std::vector<uint8_t> v(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        v[size_t(i)] = uint8_t(i * 7 + i / 256);
    return v;
}

class TempFile {
public:
    explicit TempFile(const std::vector<uint8_t>& bytes) : m_path(m_dir.file("sound.bin")) { write(bytes, 0); }
    // Overwrites bytes in place, behind the layer's back.
    void write(const std::vector<uint8_t>& bytes, long at)
    {
        FILE* f = std::fopen(m_path.c_str(), at == 0 ? "wb" : "r+b");
        ASSERT_NE(f, nullptr);
        std::fseek(f, at, SEEK_SET);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    const char* path() const { return m_path.c_str(); }

private:
    testsupport::TempDir m_dir;
    std::string m_path;
};

TEST(SoundFileLayer, OpenRefusesWhatItCannotRead)
{
    EXPECT_EQ(HVSOUND_File_Open(nullptr, HVSOUND_FILE_KIND_STDIO, 0), nullptr);
    testsupport::TempDir dir;
    const std::string missing = dir.file("missing.wav");
    EXPECT_EQ(HVSOUND_File_Open(missing.c_str(), HVSOUND_FILE_KIND_STDIO, 0), nullptr);
    EXPECT_EQ(HVSOUND_File_Open(missing.c_str(), HVSOUND_FILE_KIND_BUFFERED, 0), nullptr);
    uint8_t block[4] = {};
    EXPECT_EQ(HVSOUND_File_Open(block, HVSOUND_FILE_KIND_MEMORY, 0), nullptr);
    EXPECT_EQ(HVSOUND_File_Open("x", HVSOUND_FILE_KIND_USER, 0), nullptr) << "no callbacks installed";
    EXPECT_EQ(HVSOUND_File_Read(block, 1, 4, nullptr), -1);
    EXPECT_EQ(HVSOUND_File_Seek(nullptr, 0, 0), -1);
    EXPECT_EQ(HVSOUND_File_Tell(nullptr), 0);
    HVSOUND_File_Close(nullptr);
}

// The same window rules hold for every kind.
TEST(SoundFileLayer, WindowBoundsSeeksAndReadsForEveryKind)
{
    std::vector<uint8_t> bytes = counting(5000);
    TempFile disk(bytes);
    for (uint32_t kind : {HVSOUND_FILE_KIND_STDIO, HVSOUND_FILE_KIND_MEMORY, HVSOUND_FILE_KIND_BUFFERED}) {
        SCOPED_TRACE(kind);
        HVSOUND_FILE* f = kind == HVSOUND_FILE_KIND_MEMORY ? HVSOUND_File_Open(bytes.data(), kind, 5000)
                                                           : HVSOUND_File_Open(disk.path(), kind, 0);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->length, 5000);
        HVSOUND_File_SetStart(f, 100);
        HVSOUND_File_SetEnd(f, 199);
        HVSOUND_File_Seek(f, 0, SEEK_SET);
        EXPECT_EQ(HVSOUND_File_Tell(f), 0);
        std::vector<uint8_t> got(200);
        ASSERT_EQ(HVSOUND_File_Read(got.data(), 1, 200, f), 100);
        EXPECT_TRUE(std::equal(got.begin(), got.begin() + 100, bytes.begin() + 100));
        EXPECT_EQ(HVSOUND_File_Read(got.data(), 1, 1, f), 0) << "nothing after the window";

        // From the window's end: the last four bytes.
        HVSOUND_File_Seek(f, -4, SEEK_END);
        EXPECT_EQ(HVSOUND_File_Tell(f), 96);
        ASSERT_EQ(HVSOUND_File_Read(got.data(), 1, 10, f), 4);
        EXPECT_EQ(got[0], bytes[196]);
        EXPECT_EQ(got[3], bytes[199]);

        // A relative seek past the end stays at the window's end, and the
        // next read delivers nothing rather than a negative count.
        HVSOUND_File_Seek(f, 50, SEEK_SET);
        HVSOUND_File_Seek(f, 1000, SEEK_CUR);
        EXPECT_EQ(HVSOUND_File_Tell(f), 100);
        EXPECT_EQ(HVSOUND_File_Read(got.data(), 1, 10, f), 0);
        // Element reads are cut to whole elements.
        HVSOUND_File_Seek(f, 95, SEEK_SET);
        EXPECT_EQ(HVSOUND_File_Read(got.data(), 2, 10, f), 4);
        HVSOUND_File_Close(f);
    }
}

TEST(SoundFileLayer, BufferedSeekInsideTheBlockMakesNoStdioCall)
{
    std::vector<uint8_t> bytes = counting(8192);
    TempFile disk(bytes);
    HVSOUND_FILE* f = HVSOUND_File_Open(disk.path(), HVSOUND_FILE_KIND_BUFFERED, 0);
    ASSERT_NE(f, nullptr);
    uint8_t header[4];
    ASSERT_EQ(HVSOUND_File_Read(header, 1, 4, f), 4);
    EXPECT_EQ(f->bufferStale, 0);
    // Changed on disk after the block was buffered: a read from the same
    // block still sees the buffered bytes, which proves no stdio read ran.
    disk.write(std::vector<uint8_t>(16, 0xEE), 1000);
    HVSOUND_File_Seek(f, 1000, SEEK_SET);
    EXPECT_EQ(f->bufferOffset, 1000);
    uint8_t b = 0;
    ASSERT_EQ(HVSOUND_File_Read(&b, 1, 1, f), 1);
    EXPECT_EQ(b, bytes[1000]);

    // A seek to another block reloads it.
    HVSOUND_File_Seek(f, 2048 + 1000, SEEK_SET);
    EXPECT_EQ(f->bufferStale, 1);
    EXPECT_EQ(f->bufferOffset, 1000);
    ASSERT_EQ(HVSOUND_File_Read(&b, 1, 1, f), 1);
    EXPECT_EQ(b, bytes[3048]);
    HVSOUND_File_Close(f);
}

// Seeks to the edges of the buffered block: its first and last bytes are
// served from the buffer as it is; exactly the start of the next block, or
// the last byte of the one before, marks the buffer for a fresh load of
// that block at the right offset. Either way the byte read is the file's.
TEST(SoundFileLayer, BufferedSeeksAtTheBlockEdges)
{
    std::vector<uint8_t> bytes = counting(8192);
    TempFile disk(bytes);
    HVSOUND_FILE* f = HVSOUND_File_Open(disk.path(), HVSOUND_FILE_KIND_BUFFERED, 0);
    ASSERT_NE(f, nullptr);
    struct Case {
        int from; // where the buffered block was read
        int target;
        bool reloads;
    };
    const Case cases[] = {
        {100, 0, false},     {100, 2047, false},  {100, 2048, true},
        {2148, 2048, false}, {2148, 4095, false}, {2148, 4096, true}, {2148, 2047, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "from " << k.from << " to " << k.target);
        HVSOUND_File_Seek(f, k.from, SEEK_SET);
        uint8_t b = 0;
        ASSERT_EQ(HVSOUND_File_Read(&b, 1, 1, f), 1);
        ASSERT_EQ(f->bufferStale, 0);
        EXPECT_EQ(HVSOUND_File_Seek(f, k.target, SEEK_SET), k.target);
        EXPECT_EQ(f->bufferStale, k.reloads ? 1 : 0);
        EXPECT_EQ(f->bufferOffset, k.target % 2048);
        ASSERT_EQ(HVSOUND_File_Read(&b, 1, 1, f), 1);
        EXPECT_EQ(b, bytes[size_t(k.target)]);
        EXPECT_EQ(HVSOUND_File_Tell(f), k.target + 1);
    }
    HVSOUND_File_Close(f);
}

TEST(SoundFileLayer, BufferedWholeBlocksBypassTheBufferAndMixedReadsMatch)
{
    std::vector<uint8_t> bytes = counting(10000);
    TempFile disk(bytes);
    HVSOUND_FILE* f = HVSOUND_File_Open(disk.path(), HVSOUND_FILE_KIND_BUFFERED, 0);
    ASSERT_NE(f, nullptr);
    std::vector<uint8_t> got(10000);
    ASSERT_EQ(HVSOUND_File_Read(got.data(), 1, 4096, f), 4096);
    EXPECT_EQ(f->bufferStale, 1) << "read straight into the destination";
    EXPECT_EQ(f->bufferOffset, 0);
    // Odd-sized pieces across block boundaries, up to the end of the file.
    int at = 4096;
    for (int piece : {3, 2100, 1, 2047, 4097, 500}) {
        int n = HVSOUND_File_Read(got.data() + at, 1, piece, f);
        at += n;
        if (n < piece) {
            EXPECT_EQ(at, 10000);
            break;
        }
    }
    EXPECT_EQ(at, 10000);
    EXPECT_EQ(got, bytes);
    EXPECT_EQ(HVSOUND_File_Read(got.data(), 1, 10, f), 0);
    HVSOUND_File_Close(f);
}

TEST(SoundFileLayer, BigEndianFilesSwapTwoAndFourByteElementsOnly)
{
    uint8_t data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    HVSOUND_FILE* f = HVSOUND_File_Open(data, HVSOUND_FILE_KIND_MEMORY | HVSOUND_FILE_BIGENDIAN, 8);
    ASSERT_NE(f, nullptr);
    uint8_t got[8];
    ASSERT_EQ(HVSOUND_File_Read(got, 2, 2, f), 4);
    EXPECT_EQ(std::vector<uint8_t>(got, got + 4), (std::vector<uint8_t>{2, 1, 4, 3}));
    ASSERT_EQ(HVSOUND_File_Read(got, 4, 1, f), 4);
    EXPECT_EQ(std::vector<uint8_t>(got, got + 4), (std::vector<uint8_t>{8, 7, 6, 5}));
    HVSOUND_File_Seek(f, 0, SEEK_SET);
    ASSERT_EQ(HVSOUND_File_Read(got, 1, 2, f), 2);
    EXPECT_EQ(got[0], 1);
    EXPECT_EQ(HVSOUND_File_ReadWord(f), 0x0304) << "the word is swapped to host order";
    EXPECT_EQ(HVSOUND_File_ReadByte(f), 5);
    HVSOUND_File_Close(f);
}

struct MemoryHandle {
    std::vector<uint8_t> bytes;
    long position = 0;
    int closes = 0;
};
MemoryHandle g_user;

TEST(SoundFileLayer, UserCallbacksServeKindTwo)
{
    g_user = MemoryHandle{counting(300), 0, 0};
    HVSOUND_FILE_CALLBACKS cb{};
    cb.open = [](const char*) -> void* { return &g_user; };
    cb.close = [](void*) { ++g_user.closes; };
    cb.read = [](void* buffer, int bytes, void*) -> int {
        int n = std::min<int>(bytes, int(g_user.bytes.size()) - int(g_user.position));
        std::memcpy(buffer, g_user.bytes.data() + g_user.position, size_t(n));
        g_user.position += n;
        return n;
    };
    cb.seek = [](void*, int offset, int origin) -> int {
        g_user.position = origin == SEEK_END ? long(g_user.bytes.size()) + offset : offset;
        return 0;
    };
    cb.tell = [](void*) -> int { return int(g_user.position); };
    HVSOUND_File_SetUserCallbacks(&cb);
    EXPECT_TRUE(HVSOUND_File_HasUserCallbacks());
    HVSOUND_FILE* f = HVSOUND_File_Open("any", HVSOUND_FILE_KIND_USER, 0);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->length, 300);
    HVSOUND_File_Seek(f, 10, SEEK_SET);
    uint8_t got[4];
    ASSERT_EQ(HVSOUND_File_Read(got, 1, 4, f), 4);
    EXPECT_EQ(got[0], g_user.bytes[10]);
    EXPECT_EQ(HVSOUND_File_Tell(f), 14);
    HVSOUND_File_Close(f);
    EXPECT_EQ(g_user.closes, 1);
    HVSOUND_File_SetUserCallbacks(nullptr);
    EXPECT_FALSE(HVSOUND_File_HasUserCallbacks());
}

} // namespace
