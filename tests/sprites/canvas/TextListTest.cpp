// The canvas's text-list form of the data file, read from a file or an
// archive item: two text lists, numbers and strings, each a count and its
// entries, with damaged counts read safely.
#include "tests/sprites/canvas/CanvasTestSupport.h"
#include "tests/support/TempDir.h"

#include "core/lang/ResourceFile.h"
#include "tools/archive/ArchiveWriter.h"

namespace {

using Texts = std::vector<std::string>;

Texts texts(lang::ObjectArray* list)
{
    Texts out;
    for (int i = 0; i < list->length(); ++i)
        out.push_back(static_cast<lang::String*>(*list->at(i))->c_str());
    return out;
}

class TextListTest : public canvastest::CanvasTest {
protected:
    void read(const std::string& dataFile)
    {
        canvas->init(lang::String(""), nullptr, lang::String(dataFile.c_str()), 0);
        canvas->readTextLists();
    }
    testsupport::TempDir dir;
};

TEST_F(TextListTest, TheFourListsAreReadInOrderFromAFileOrAnArchiveItem)
{
    // Data files end their lines with CR LF; a comment runs to the CR.
    read(dir.write("lists.txt", "; lists\r\n2 first \"second text\"\r\n1 only\r\n3 10 -2 7.9\r\n2 alpha \"\"\r\n"));
    EXPECT_EQ(texts(canvas->getTextListA()), (Texts{"first", "second text"}));
    EXPECT_EQ(texts(canvas->getTextListB()), Texts{"only"});
    lang::IntArray* numbers = canvas->getManifestNumbers();
    EXPECT_EQ(std::vector<int>(numbers->data(), numbers->data() + numbers->length()), (std::vector<int>{10, -2, 7}));
    EXPECT_EQ(texts(canvas->getManifestStrings()), (Texts{"alpha", ""}));
    // A number among the texts is read as its own text.
    read(dir.write("numbers.txt", "3 first 42 third 0 0 2 x 2.5\n"));
    EXPECT_EQ(texts(canvas->getTextListA()), (Texts{"first", "42", "third"}));
    EXPECT_EQ(texts(canvas->getManifestStrings()), (Texts{"x", "2.5"}));

    tools::ArchiveWriter archive;
    archive.add("lists", std::string("1 fromArchive 0 0 0"));
    ASSERT_TRUE(archive.write(dir.file("Lists.bin")));
    lang::ResourceFile::open(lang::String(dir.file("Lists.bin").c_str()));
    read("+lists");
    lang::ResourceFile::closeAll();
    EXPECT_EQ(texts(canvas->getTextListA()), Texts{"fromArchive"});
    read(dir.file("missing.txt"));
    EXPECT_EQ(texts(canvas->getTextListA()), Texts{"fromArchive"}) << "a missing file reads nothing";
}

TEST_F(TextListTest, DamagedCountsReadAsNothingOrStopAtTheEnd)
{
    read(dir.write("bad.txt", "-5 1000000000 a b\n"));
    EXPECT_TRUE(texts(canvas->getTextListA()).empty()) << "a negative count reads as none";
    EXPECT_EQ(texts(canvas->getTextListB()), (Texts{"a", "b"})) << "the end of the input ends the list";
    read(dir.write("word.txt", "many x\n"));
    EXPECT_TRUE(texts(canvas->getTextListA()).empty()) << "a word for a count reads as 0";
    EXPECT_EQ(canvas->getManifestNumbers()->length(), 0);
}

} // namespace
