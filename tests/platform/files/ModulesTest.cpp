// Modules: module files read as data for their resources (found by name, by
// id, missing, damaged files), and built-in modules registered by name.
#include "platform/files/FilesApi.h"
#include "platform/files/PeImage.h"

#include "tests/platform/files/ScratchDirectory.h"
#include "tests/support/PeImageWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

using testsupport::PeImageWriter;
using testsupport::ScratchDirectory;

std::vector<uint8_t> bytesOf(const std::string& text, bool withNul = false)
{
    std::vector<uint8_t> b(text.begin(), text.end());
    if (withNul)
        b.push_back(0);
    return b;
}

PeImageWriter sampleWriter()
{
    PeImageWriter w;
    w.add("IDS_GAMETITLE", bytesOf("Lanternfield", true));
    w.add("Logo", bytesOf("\x89PNG-data"));
    w.add("EMPTY", std::vector<uint8_t>());
    w.add(PeImageWriter::Key::number(10), PeImageWriter::Key::number(101), bytesOf("by id"));
    return w;
}

std::string resourceText(HMODULE m, LPCSTR name, LPCSTR type = "FILE")
{
    HRSRC r = FindResourceA(m, name, type);
    if (!r)
        return "<none>";
    HGLOBAL g = LoadResource(m, r);
    const char* data = static_cast<const char*>(LockResource(g));
    EXPECT_NE(data, nullptr);
    return std::string(data, SizeofResource(m, r));
}

TEST(ModuleFile, ResourcesAreFoundByNameAndId)
{
    ScratchDirectory dir;
    ASSERT_TRUE(sampleWriter().writeTo(dir / "Items.dll"));
    HMODULE m = LoadLibraryA((dir / "Items.dll").c_str());
    ASSERT_NE(m, nullptr);

    EXPECT_EQ(resourceText(m, "IDS_GAMETITLE"), std::string("Lanternfield\0", 13));
    EXPECT_EQ(resourceText(m, "logo"), "\x89PNG-data") << "names compare without regard to case";
    EXPECT_EQ(resourceText(m, "LOGO", "file"), "\x89PNG-data");
    EXPECT_EQ(resourceText(m, MAKEINTRESOURCEA(101), MAKEINTRESOURCEA(10)), "by id");
    EXPECT_EQ(resourceText(m, "missing"), "<none>");
    EXPECT_EQ(resourceText(m, "LOGO", "DATA"), "<none>");
    EXPECT_EQ(resourceText(m, MAKEINTRESOURCEA(102), MAKEINTRESOURCEA(10)), "<none>");

    HRSRC empty = FindResourceA(m, "EMPTY", "FILE");
    ASSERT_NE(empty, nullptr);
    EXPECT_NE(LockResource(LoadResource(m, empty)), nullptr);
    EXPECT_EQ(SizeofResource(m, empty), 0u);
    EXPECT_FALSE(FreeResource(LoadResource(m, empty)));

    EXPECT_EQ(GetProcAddress(m, "Direct3DCreate9"), nullptr) << "no code of a module file is run";
    char path[1024];
    ASSERT_GT(GetModuleFileNameA(m, path, sizeof path), 0u);
    EXPECT_STREQ(std::strrchr(path, '\\'), "\\Items.dll");
    EXPECT_TRUE(FreeLibrary(m));
}

TEST(ModuleFile, NoModuleMeansNoResources)
{
    EXPECT_EQ(FindResourceA(nullptr, "IDS_GAMETITLE", "FILE"), nullptr);
    EXPECT_EQ(FindResourceA(GetModuleHandleA(nullptr), "IDS_GAMETITLE", "FILE"), nullptr);
    EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
}

TEST(ModuleFile, LoadCountsShareOneHandle)
{
    ScratchDirectory dir;
    ASSERT_TRUE(sampleWriter().writeTo(dir / "a.dll"));
    HMODULE first = LoadLibraryA((dir / "a.dll").c_str());
    HMODULE second = LoadLibraryA((dir / "A.DLL").c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_NE(FindResourceA(first, "LOGO", "FILE"), nullptr) << "one load count remains";
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_FALSE(FreeLibrary(first)) << "the module is gone";
    EXPECT_EQ(FindResourceA(first, "LOGO", "FILE"), nullptr);
}

TEST(ModuleFile, BareNameIsFoundBesideTheProgram)
{
    ScratchDirectory dir;
    dir.makeDirectory("game");
    ASSERT_TRUE(sampleWriter().writeTo(dir / "game/Pack.dll"));
    platform::setProgramPath((dir / "game/run").c_str());
    HMODULE m = LoadLibraryA("pack.dll");
    platform::setProgramPath(nullptr);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(resourceText(m, "IDS_GAMETITLE").substr(0, 12), "Lanternfield");
    FreeLibrary(m);

    testsupport::ScopedCurrentDirectory cwd(dir.path());
    m = LoadLibraryA("GAME\\pack.dll");
    ASSERT_NE(m, nullptr);
    FreeLibrary(m);
}

TEST(ModuleFile, MissingGarbageAndTruncatedFilesGiveNull)
{
    ScratchDirectory dir;
    EXPECT_EQ(LoadLibraryA((dir / "none.dll").c_str()), nullptr);
    EXPECT_EQ(LoadLibraryA(""), nullptr);
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
    dir.makeDirectory("folder.dll");
    EXPECT_EQ(LoadLibraryA((dir / "folder.dll").c_str()), nullptr);
    dir.writeFile("text.dll", "this is not a module at all, only text");
    EXPECT_EQ(LoadLibraryA((dir / "text.dll").c_str()), nullptr);
    dir.writeFile("empty.dll", "");
    EXPECT_EQ(LoadLibraryA((dir / "empty.dll").c_str()), nullptr);

    std::vector<uint8_t> image = sampleWriter().build();
    image.resize(image.size() - 1);
    ASSERT_TRUE(PeImageWriter::writeFile(dir / "cut.dll", image));
    EXPECT_EQ(LoadLibraryA((dir / "cut.dll").c_str()), nullptr);
}

TEST(PeImage, EveryTruncationIsRefused)
{
    const std::vector<uint8_t> image = sampleWriter().build();
    ASSERT_NE(platform::PeImage::parse(image), nullptr);
    for (size_t length = 0; length < image.size(); ++length) {
        std::vector<uint8_t> cut(image.begin(), image.begin() + long(length));
        EXPECT_EQ(platform::PeImage::parse(cut), nullptr) << "length " << length;
    }
}

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

TEST(PeImage, InconsistentHeadersAndDirectoriesAreRefused)
{
    const std::vector<uint8_t> image = sampleWriter().build();
    const size_t rsrc = PeImageWriter::kHeadersSize;
    const size_t sectionHeader = 0x40 + 4 + 20 + 224;

    std::vector<uint8_t> farHeaders = image;
    put32(farHeaders, 0x3C, 0xFFFFFFF0u);
    EXPECT_EQ(platform::PeImage::parse(farHeaders), nullptr);

    std::vector<uint8_t> loop = image; // the first type points back at the root
    put32(loop, rsrc + 16 + 4, 0x80000000u);
    EXPECT_EQ(platform::PeImage::parse(loop), nullptr);

    std::vector<uint8_t> shortSection = image; // resources reach past the section's data
    put32(shortSection, sectionHeader + 16, 0x20);
    EXPECT_EQ(platform::PeImage::parse(shortSection), nullptr);

    std::vector<uint8_t> hugeCount = image;
    hugeCount[rsrc + 14] = 0xFF;
    hugeCount[rsrc + 15] = 0xFF;
    EXPECT_EQ(platform::PeImage::parse(hugeCount), nullptr);
}

TEST(PeImage, RandomDamageNeverCrashes)
{
    const std::vector<uint8_t> image = sampleWriter().build();
    std::mt19937 random(12345);
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> damaged = image;
        int flips = 1 + int(random() % 4);
        for (int i = 0; i < flips; ++i)
            damaged[random() % damaged.size()] = uint8_t(random());
        auto parsed = platform::PeImage::parse(damaged);
        if (!parsed)
            continue;
        ++accepted;
        for (const auto& r : parsed->resources())
            ASSERT_LE(r.offset + r.size, damaged.size());
    }
    EXPECT_GT(accepted, 0); // most single flips land in padding
}

LONG_PTR fakeCreate()
{
    return 1234;
}

FARPROC resolveFake(const char* name)
{
    return std::strcmp(name, "Direct3DCreate9") == 0 ? reinterpret_cast<FARPROC>(&fakeCreate) : nullptr;
}

TEST(BuiltinModule, ResolvesByFileNameUntilUnregistered)
{
    platform::registerBuiltinModule("D3D9.dll", resolveFake);
    HMODULE m = LoadLibraryA("d3d9.dll");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(LoadLibraryA("C:\\Windows\\System32\\D3D9.DLL"), m);
    FARPROC create = GetProcAddress(m, "Direct3DCreate9");
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(reinterpret_cast<LONG_PTR (*)()>(create)(), 1234);
    EXPECT_EQ(GetProcAddress(m, "Direct3DCreate9Ex"), nullptr);
    EXPECT_EQ(GetProcAddress(m, MAKEINTRESOURCEA(1)), nullptr);
    EXPECT_EQ(FindResourceA(m, "LOGO", "FILE"), nullptr);
    char name[64];
    EXPECT_EQ(GetModuleFileNameA(m, name, sizeof name), 8u);
    EXPECT_STREQ(name, "D3D9.dll");
    EXPECT_TRUE(FreeLibrary(m));
    EXPECT_NE(GetProcAddress(m, "Direct3DCreate9"), nullptr) << "built-in modules stay while registered";

    platform::unregisterBuiltinModule("d3d9.DLL");
    EXPECT_EQ(LoadLibraryA("d3d9.dll"), nullptr);
    EXPECT_EQ(GetProcAddress(m, "Direct3DCreate9"), nullptr);
    EXPECT_FALSE(FreeLibrary(m));
}

} // namespace
