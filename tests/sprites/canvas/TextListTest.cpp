// The canvas's text-list form of the data file: two text lists, numbers and
// strings, each a count and its entries, read from a file or an archive
// item, with damaged counts read safely.
#include "tests/sprites/canvas/CanvasTestSupport.h"
#include "tests/support/TempDir.h"

#include "core/lang/ResourceFile.h"
#include "tools/archive/ArchiveWriter.h"

#include <string>
#include <vector>

namespace {

using canvastest::CanvasTest;

std::vector<std::string> texts(lang::ObjectArray* list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list->length(); ++i)
        out.push_back(static_cast<lang::String*>(*list->at(i))->c_str());
    return out;
}

std::vector<int> numbers(lang::IntArray* list)
{
    return std::vector<int>(list->data(), list->data() + list->length());
}

class TextListTest : public CanvasTest {
protected:
    void readFile(const std::string& content)
    {
        std::string path = dir.write("lists.txt", content);
        canvas->init(lang::String(""), nullptr, lang::String(path.c_str()), 0);
        canvas->readTextLists();
    }

    testsupport::TempDir dir;
};

TEST_F(TextListTest, TheFourListsAreReadInOrder)
{
    // Data files end their lines with CR LF; a comment runs to the CR.
    readFile("; the lists\r\n2 first \"second text\"\r\n1 only\r\n3 10 -2 7.9\r\n2 alpha \"\"\r\n");
    EXPECT_EQ(texts(canvas->getTextListA()), (std::vector<std::string>{"first", "second text"}));
    EXPECT_EQ(texts(canvas->getTextListB()), (std::vector<std::string>{"only"}));
    EXPECT_EQ(numbers(canvas->getManifestNumbers()), (std::vector<int>{10, -2, 7}));
    EXPECT_EQ(texts(canvas->getManifestStrings()), (std::vector<std::string>{"alpha", ""}));
    EXPECT_FALSE(canvas->isDataLoaded());
}

TEST_F(TextListTest, DamagedCountsReadAsNothingOrStopAtTheEnd)
{
    readFile("-5 1000000000 a b\n");
    EXPECT_TRUE(texts(canvas->getTextListA()).empty()) << "a negative count reads as none";
    EXPECT_EQ(texts(canvas->getTextListB()), (std::vector<std::string>{"a", "b"})) << "the end of the input ends it";
    readFile("many x\n");
    EXPECT_TRUE(texts(canvas->getTextListA()).empty()) << "a word for a count reads as 0";
    EXPECT_EQ(texts(canvas->getTextListB()).size(), 0u);
    EXPECT_EQ(numbers(canvas->getManifestNumbers()).size(), 0u);
}

TEST_F(TextListTest, AnArchiveItemOrAMissingFileCanBeRead)
{
    tools::ArchiveWriter archive;
    archive.add("lists", std::string("1 fromArchive 0 1 5 0"));
    std::string path = dir.file("Lists.bin");
    ASSERT_TRUE(archive.write(path));
    lang::ResourceFile::open(lang::String(path.c_str()));
    canvas->init(lang::String(""), nullptr, lang::String("+lists"), 0);
    canvas->readTextLists();
    lang::ResourceFile::closeAll();
    EXPECT_EQ(texts(canvas->getTextListA()), (std::vector<std::string>{"fromArchive"}));
    EXPECT_EQ(numbers(canvas->getManifestNumbers()), (std::vector<int>{5}));

    canvas->init(lang::String(""), nullptr, lang::String(dir.file("missing.txt").c_str()), 0);
    canvas->readTextLists();
    EXPECT_EQ(texts(canvas->getTextListA()), (std::vector<std::string>{"fromArchive"})) << "nothing was read";
}

} // namespace
