// File and memory byte streams.
#include "core/io/ByteArrayInputStream.h"
#include "core/io/ByteArrayOutputStream.h"
#include "core/io/FileInputStream.h"
#include "core/io/FileOutputStream.h"
#include "core/lang/Exception.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

namespace {

std::string messageOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (lang::Exception* e) {
        std::string m = e->toString().c_str();
        e->release();
        return m;
    }
    return "(no exception)";
}

TEST(FileInputStream, ReadsBytesAndReportsTheEnd)
{
    testsupport::TempDir dir;
    std::string path = dir.write("data.bin", std::string("\x01\xff\x7f", 3));
    io::FileInputStream in(path.c_str());
    EXPECT_EQ(in.read(), 1);
    EXPECT_EQ(in.read(), 255) << "0xFF is a byte, not the end";
    EXPECT_EQ(in.read(), 127);
    EXPECT_EQ(in.read(), -1);
    in.reset();
    unsigned char buffer[8] = {};
    EXPECT_EQ(in.read(buffer, 2, 8), 3);
    EXPECT_EQ(buffer[3], 0xff);
    EXPECT_EQ(in.seek(1), -2);
    EXPECT_EQ(in.read(), 255);
    EXPECT_EQ(in.skip(-10), -2) << "never before the start";
    EXPECT_EQ(in.read(), 1);
    EXPECT_EQ(in.seek(-3), -1) << "a negative position gives the first byte";
    EXPECT_EQ(in.read(), 1);
    in.close();
    EXPECT_EQ(in.read(), -1);
    EXPECT_EQ(in.read(buffer, 0, 4), 0);
    EXPECT_EQ(in.skip(1), 0);
}

TEST(FileInputStream, JoinsDirectoryAndNameWithABackslash)
{
    testsupport::TempDir dir;
    dir.write("Canvas.lua", "x");
    std::string folder = dir.path().string();
    io::FileInputStream joined(lang::String("Canvas.lua"), lang::String(folder.c_str()));
    EXPECT_EQ(joined.read(), 'x');
    io::FileInputStream trailing(lang::String("Canvas.lua"), lang::String((folder + "\\").c_str()));
    EXPECT_EQ(trailing.read(), 'x');
    std::string missing = messageOf([&] { io::FileInputStream s(lang::String("none.lua"), lang::String("dir")); });
    EXPECT_EQ(missing, "Error Opening dir\\none.lua");
    EXPECT_EQ(messageOf([] { io::FileInputStream s(lang::String("nothing.here"), lang::String("")); }),
              "Error Opening nothing.here");
}

TEST(FileOutputStream, WritesAndTruncates)
{
    testsupport::TempDir dir;
    std::string path = dir.write("out.bin", "old contents that are long");
    {
        io::FileOutputStream out(path.c_str());
        out.write('A');
        out.write(reinterpret_cast<const unsigned char*>("bc"), 2);
        out.write(lang::String("de"));
        lang::ByteArray bytes;
        bytes.setLength(2);
        bytes[0] = 'f';
        bytes[1] = 0;
        out.write(bytes);
        out.flush();
        out.close();
        out.write('Z'); // closed: ignored
    }
    std::ifstream in(path, std::ios::binary);
    std::string got((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(got, std::string("Abcdef\0", 7));
    EXPECT_EQ(messageOf([&] { io::FileOutputStream s((dir.path() / "no" / "such" / "dir").c_str()); }).rfind(
                  "Error Opening ", 0),
              0u);
}

TEST(ByteArrayInputStream, ClampsReadsSkipsAndSeeks)
{
    unsigned char data[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 0xff};
    io::ByteArrayInputStream in(data, 10);
    unsigned char buffer[5];
    EXPECT_EQ(in.seek(8), 8);
    EXPECT_EQ(in.read(buffer, 0, 5), 2);
    EXPECT_EQ(buffer[1], 0xff);
    EXPECT_EQ(in.read(), -1);
    in.seek(3);
    EXPECT_EQ(in.skip(5), 5);
    EXPECT_EQ(in.skip(5), 2);
    in.seek(20);
    EXPECT_EQ(in.getPosition(), 10);
    in.reset();
    EXPECT_EQ(in.read(), 0);
}

TEST(ByteArrayInputStream, NegativeMovesStopAtTheStart)
{
    unsigned char data[4] = {9, 8, 7, 6};
    io::ByteArrayInputStream in(data, 4);
    in.seek(2);
    EXPECT_EQ(in.skip(-5), -2);
    EXPECT_EQ(in.getPosition(), 0);
    EXPECT_EQ(in.seek(-3), 0);
    EXPECT_EQ(in.read(), 9);
    unsigned char buffer[1];
    EXPECT_EQ(in.read(buffer, 0, -1), 0);
}

TEST(ByteArrayInputStream, ArchiveNameWithoutArchiveIsEmpty)
{
    io::ByteArrayInputStream in(lang::String("+datfile"));
    EXPECT_EQ(in.getLength(), 0);
    EXPECT_EQ(in.read(), -1);
}

TEST(ByteArrayOutputStream, GrowsExactlyAsNeeded)
{
    io::ByteArrayOutputStream out(0);
    EXPECT_EQ(out.getStore().length(), 100);
    unsigned char* first = out.getStore().data();
    for (int i = 0; i < 99; ++i)
        out.write(i);
    EXPECT_EQ(out.getStore().data(), first) << "positions 0 to 98 fit";
    out.write(99);
    EXPECT_EQ(out.getStore().length(), 100);
    out.write(100);
    EXPECT_EQ(out.getStore().length(), 101);
    EXPECT_EQ(out.getPosition(), 101);
    EXPECT_EQ(out.getStore()[57], 57);
    out.write(lang::String("xyz"));
    EXPECT_EQ(out.getPosition(), 104);
    EXPECT_EQ(out.getStore()[103], 'z');
}

} // namespace
