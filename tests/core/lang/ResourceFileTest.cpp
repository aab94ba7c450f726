// Resource archives: plain and compressed index files, module files, the
// chain, shared and private items, damaged indexes, and text items.
#include "core/io/ByteArrayInputStream.h"
#include "core/lang/Exception.h"
#include "core/lang/ResourceFile.h"
#include "tests/support/PeImageWriter.h"
#include "tests/support/TempDir.h"
#include "tools/archive/ArchiveWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

using lang::ResourceFile;
using lang::ResourceItem;
using lang::String;

namespace {

std::string itemText(ResourceItem* item)
{
    return std::string(reinterpret_cast<const char*>(item->getData()), size_t(item->getSize()));
}

std::string writeBytes(const testsupport::TempDir& dir, const std::string& name, const std::vector<uint8_t>& bytes)
{
    return dir.write(name, std::string(bytes.begin(), bytes.end()));
}

// Opens archives for one test and closes them all at its end.
class ResourceFileTest : public ::testing::Test {
protected:
    void TearDown() override { ResourceFile::closeAll(); }

    std::string openingError(const std::string& path, bool detail = false)
    {
        try {
            ResourceFile::open(String(path.c_str()));
        } catch (lang::Exception* e) {
            std::string m = detail ? e->getDetail().c_str() : e->toString().c_str();
            e->release();
            return m;
        }
        return "(opened)";
    }

    testsupport::TempDir dir;
};

tools::ArchiveWriter sampleWriter()
{
    tools::ArchiveWriter w;
    w.add("datfile", "<images>\r\n<end>");
    w.add("empty", "");
    w.add("twice", "first");
    w.add("twice", "second");
    w.addText("IDS_GAMETITLE", "Hello");
    w.addText("IDS_CAFE", "Caf\xc3\xa9 \xe2\x82\xac \xe4\xb8\xad"); // e-acute, euro, a CJK character
    return w;
}

TEST_F(ResourceFileTest, PlainAndCompressedArchivesGiveTheSameItems)
{
    tools::ArchiveWriter w = sampleWriter();
    for (const char* name : {"game.bin", "game.zin"}) {
        std::string path = dir.file(name);
        ASSERT_TRUE(w.write(path));
        ResourceFile::open(String(path.c_str()));
        ResourceFile* archive = ResourceFile::getCurrent();
        ASSERT_NE(archive, nullptr);
        ResourceItem* item = archive->getItem(String("datfile"), true);
        ASSERT_NE(item, nullptr) << name;
        EXPECT_EQ(itemText(item), "<images>\r\n<end>");
        item->release();
        ResourceItem* twice = archive->getItem(String("twice"), false);
        ASSERT_NE(twice, nullptr);
        EXPECT_EQ(itemText(twice), "second") << "the later record shadows the earlier";
        twice->release();
        ResourceItem* empty = archive->getItem(String("empty"), true);
        ASSERT_NE(empty, nullptr);
        EXPECT_EQ(empty->getSize(), 0);
        empty->release();
        EXPECT_EQ(archive->getItem(String("DATFILE"), true), nullptr) << "names are case-sensitive";
        ResourceFile::closeAll();
        EXPECT_EQ(ResourceFile::getCurrent(), nullptr);
    }
}

TEST_F(ResourceFileTest, SharedItemsAreCachedAndPrivateItemsAreCopies)
{
    ASSERT_TRUE(sampleWriter().write(dir.file("a.bin")));
    ResourceFile::open(String(dir.file("a.bin").c_str()));
    ResourceFile* archive = ResourceFile::getCurrent();
    ResourceItem* private1 = archive->getItem(String("datfile"), false);
    ResourceItem* private2 = archive->getItem(String("datfile"), false);
    EXPECT_NE(private1, private2) << "private requests before a shared one get their own copies";
    ResourceItem* shared1 = archive->getItem(String("datfile"), true);
    ResourceItem* shared2 = archive->getItem(String("datfile"), true);
    ResourceItem* private3 = archive->getItem(String("datfile"), false);
    EXPECT_EQ(shared1, shared2);
    EXPECT_EQ(private3, shared1) << "once cached, private requests get the cached item too";
    EXPECT_EQ(itemText(private1), itemText(shared1));
    for (ResourceItem* item : {private1, private2, shared1, shared2, private3})
        item->release();
}

TEST_F(ResourceFileTest, CountZeroAndMissingArchives)
{
    ASSERT_TRUE(tools::ArchiveWriter().write(dir.file("none.bin")));
    ResourceFile::open(String(dir.file("none.bin").c_str()));
    EXPECT_EQ(ResourceFile::getCurrent()->getItem(String("x"), true), nullptr);
    ResourceFile::closeAll();
    ResourceFile::closeAll(); // nothing open: nothing happens
    // A missing archive is named by the path it was asked for.
    EXPECT_EQ(openingError(dir.file("missing.bin")), "Error Opening " + dir.file("missing.bin"));
    EXPECT_EQ(ResourceFile::getCurrent(), nullptr);
}

TEST_F(ResourceFileTest, DamagedIndexesAreRefusedLikeMissingArchives)
{
    std::vector<uint8_t> good = sampleWriter().build();
    // Cut inside the head, inside the reserved-block length, and inside the records.
    for (size_t cut : {size_t(2), size_t(6), size_t(11), size_t(15), size_t(30)}) {
        std::string path = writeBytes(dir, "cut" + std::to_string(cut) + ".bin",
                                      std::vector<uint8_t>(good.begin(), good.begin() + long(cut)));
        EXPECT_EQ(openingError(path).rfind("Error Opening ", 0), 0u) << "cut at " << cut;
        EXPECT_EQ(ResourceFile::getCurrent(), nullptr);
    }
    // A reserved block larger than the file, and a record count no file could hold.
    std::vector<uint8_t> reserved = good;
    reserved[4] = 0xff;
    reserved[7] = 0x7f;
    EXPECT_EQ(openingError(writeBytes(dir, "reserved.bin", reserved)).rfind("Error Opening ", 0), 0u);
    std::vector<uint8_t> count = good;
    count[11] = 0x70;
    EXPECT_EQ(openingError(writeBytes(dir, "count.bin", count)).rfind("Error Opening ", 0), 0u);
}

TEST_F(ResourceFileTest, WhatHappenedIsToldWithThePathAsTheSystemWritesIt)
{
    const std::vector<uint8_t> good = sampleWriter().build();
    const std::vector<uint8_t> packed = sampleWriter().buildCompressed();
    auto changed = [](std::vector<uint8_t> bytes, size_t at, std::vector<uint8_t> with) {
        std::copy(with.begin(), with.end(), bytes.begin() + long(at));
        return bytes;
    };
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* what;
    } cases[] = {
        {"head.bin", {good.begin(), good.begin() + 6}, "is cut short"},
        {"records.bin", {good.begin(), good.begin() + 30}, "is cut short"},
        {"noise.bin", std::vector<uint8_t>(4096, 0xa7), "is not a game data archive"},
        {"reserved.bin", changed(good, 4, {0xff, 0xff, 0xff, 0x7f}), "is not a game data archive"},
        {"count.bin", changed(good, 8, {0, 0, 0, 0x70}), "is not a game data archive"},
        {"counted.bin", changed(good, 8, {0xe8, 0x03}), "is cut short"}, // 1,000 records
        {"corrupt.zin", changed(packed, 20, {0xff, 0xff}), "is not a game data archive"},
        {"short.zin", {packed.begin(), packed.end() - 5}, "is cut short"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = writeBytes(dir, c.name, c.bytes);
        EXPECT_EQ(0u, openingError(path).rfind("Error Opening ", 0)) << "the engine's own message";
        EXPECT_EQ(path + " " + c.what, openingError(path, true));
    }
    // Asked for the Windows way, or missing: the Linux path.
    std::string windows = dir.file("gone.bin");
    std::replace(windows.begin(), windows.end(), '/', '\\');
    EXPECT_EQ(dir.file("gone.bin") + " is missing", openingError(windows, true));
}

TEST_F(ResourceFileTest, DamagedCompressedArchivesAreRefused)
{
    std::vector<uint8_t> good = sampleWriter().buildCompressed();
    std::vector<uint8_t> corrupt = good;
    corrupt[20] ^= 0xff;
    corrupt[21] ^= 0xff;
    EXPECT_EQ(openingError(writeBytes(dir, "corrupt.zin", corrupt)).rfind("Error Opening ", 0), 0u);
    std::vector<uint8_t> huge = good;
    huge[4] = huge[5] = huge[6] = 0xff; // claims far more inflated bytes than deflate can give
    huge[7] = 0x7f;
    EXPECT_EQ(openingError(writeBytes(dir, "huge.zin", huge)).rfind("Error Opening ", 0), 0u);
    std::vector<uint8_t> shortBody(good.begin(), good.end() - 5);
    EXPECT_EQ(openingError(writeBytes(dir, "short.zin", shortBody)).rfind("Error Opening ", 0), 0u);
}

TEST_F(ResourceFileTest, ItemsOutsideTheDataAreAbsent)
{
    tools::ArchiveWriter w;
    w.add("inside", "abc");
    w.add("outside", "xyz");
    std::vector<uint8_t> bytes = w.build();
    // The second record's offset is the last-but-one word of the index.
    size_t secondOffset = 12 + (1 + 6 + 8) + (1 + 7);
    bytes[secondOffset] = 0xf0;
    bytes[secondOffset + 1] = 0xff;
    ResourceFile::open(String(writeBytes(dir, "out.bin", bytes).c_str()));
    ResourceItem* inside = ResourceFile::getCurrent()->getItem(String("inside"), true);
    ASSERT_NE(inside, nullptr);
    EXPECT_EQ(itemText(inside), "abc");
    inside->release();
    EXPECT_EQ(ResourceFile::getCurrent()->getItem(String("outside"), true), nullptr);
    EXPECT_EQ(ResourceFile::getCurrent()->getItem(String("outside"), false), nullptr);
}

TEST_F(ResourceFileTest, ModuleArchivesPassMissesAlongTheChain)
{
    testsupport::PeImageWriter module;
    module.add("LOGO", "module bytes");
    std::string dll = writeBytes(dir, "extra.dll", module.build());
    tools::ArchiveWriter w;
    w.add("inindex", "index bytes");
    std::string bin = dir.file("main.bin");
    ASSERT_TRUE(w.write(bin));

    // Module first, then the index archive: a module miss asks the next one.
    ResourceFile::open(String(dll.c_str()));
    ResourceFile::open(String(bin.c_str()));
    ResourceItem* fromModule = ResourceFile::getCurrent()->getItem(String("LOGO"), true);
    ASSERT_NE(fromModule, nullptr);
    EXPECT_EQ(itemText(fromModule), "module bytes");
    fromModule->release();
    ResourceItem* passed = ResourceFile::getCurrent()->getItem(String("inindex"), true);
    ASSERT_NE(passed, nullptr);
    EXPECT_EQ(itemText(passed), "index bytes");
    passed->release();
    ResourceFile::closeAll();

    // Index first: its miss is final, even though the module has the item.
    ResourceFile::open(String(bin.c_str()));
    ResourceFile::open(String(dll.c_str()));
    EXPECT_EQ(ResourceFile::getCurrent()->getItem(String("LOGO"), true), nullptr);
}

TEST_F(ResourceFileTest, AMissingModuleFindsNothing)
{
    ResourceFile::open(String(dir.file("absent.DLL").c_str()));
    ASSERT_NE(ResourceFile::getCurrent(), nullptr);
    EXPECT_EQ(ResourceFile::getCurrent()->getItem(String("x"), true), nullptr);
}

TEST_F(ResourceFileTest, TextItems)
{
    tools::ArchiveWriter w = sampleWriter();
    w.add("NOTERMINATOR", "raw");
    w.add("UTF8NOTERM", "\xc3\xa9t\xc3\xa9");
    std::string path = dir.file("texts.bin");
    ASSERT_TRUE(w.write(path));
    EXPECT_STREQ(String::loadText("IDS_GAMETITLE").c_str(), "") << "no archive open yet";
    ResourceFile::open(String(path.c_str()));
    String title = String::loadText("IDS_GAMETITLE");
    EXPECT_STREQ(title.c_str(), "Hello");
    EXPECT_EQ(title.length(), 5);
    EXPECT_STREQ(String::loadText("IDS_CAFE").c_str(), "Caf\xe9 \x80 .") << "characters outside the code page become '.'";
    String missing = String::loadText("IDS_MISSING");
    EXPECT_TRUE(missing.hasData());
    EXPECT_EQ(missing.length(), 0);
    EXPECT_STREQ(String::loadText("empty").c_str(), "") << "a size-0 item is the empty text";
    EXPECT_STREQ(String::loadText("NOTERMINATOR").c_str(), "raw") << "without a 0 byte every byte counts";
    EXPECT_STREQ(String::loadText("UTF8NOTERM").c_str(), "\xe9t\xe9");
}

TEST_F(ResourceFileTest, MemoryStreamsReadArchiveItemsByName)
{
    ASSERT_TRUE(sampleWriter().write(dir.file("s.bin")));
    ResourceFile::open(String(dir.file("s.bin").c_str()));
    io::ByteArrayInputStream plus(String("+datfile"));
    io::ByteArrayInputStream bare(String("datfile"));
    EXPECT_EQ(plus.getLength(), 15);
    EXPECT_EQ(plus.read(), '<');
    EXPECT_EQ(bare.read(), '<');
    io::ByteArrayInputStream none(String("+nothing"));
    EXPECT_EQ(none.read(), -1);
}

} // namespace
