// ManifestGrammarTest.cpp: the data manifest's sections and their traps:
// headers in any case, "<end>", unknown words (reported as damage), sound
// kinds, the number limits of both passes, strings, image names that take
// the next word, and the progress items each pass counts.
#include "tests/sprites/loader/ManifestFixture.h"

#include "core/lang/Class.h"
#include "sprites/images/ImageSprite.h"

#include <cmath>
#include <limits>

namespace loadertest {
namespace {

TEST_F(ManifestTest, HeadersMatchInAnyCaseAndNothingAfterEndIsRead)
{
    ASSERT_TRUE(load("junk 12 \"quoted\"\n<Sounds> +ping <DATA> 1 2\n<bogus> skipped 7 <STRINGS> x <End>\n"
                     "<strings> y <sounds> +late\n"));
    EXPECT_EQ(std::vector<std::string>{"0 +ping"}, sounds());
    // The unknown header ended <data>; the words after it were skipped.
    EXPECT_EQ((std::vector<int>{1, 2}), numbers());
    EXPECT_EQ(std::vector<std::string>{"x"}, strings());
    EXPECT_EQ(1, counted);
}

TEST_F(ManifestTest, AManifestThatDoesNotParseWholeIsReportedAsDamaged)
{
    const struct {
        const char* name;
        const char* text;
        const char* stray; // the first word outside the sections; null when whole
    } cases[] = {
        {"garbled", "<data> 1 <sprites> A Sprite x 0 0\n<garbled B Sprite x 1 1\n", "<garbled"},
        {"stray", "<data> 1 2 stray 3\n", "stray"},
        {"leading", "junk <strings> a\n", "junk"},
        {"whole", "; a comment\n<DATA> 1 <sprites> A Sprite x 0 0 <end> after <end\n", nullptr},
    };
    for (const auto& c : cases)
        world.data().manifest(c.name, c.text);
    makeLoader();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const lang::String file(("+" + std::string(c.name)).c_str());
        size_t before = world.debugText().size();
        loader->countEntries(file);
        EXPECT_EQ(std::string::npos, world.debugText().find("damaged", before)) << "said once, when loading";
        before = world.debugText().size();
        EXPECT_TRUE(loader->load(file)) << "what parses is loaded";
        const std::string said = world.debugText().substr(before);
        if (c.stray) {
            EXPECT_NE(std::string::npos, said.find("DataLoader: " + std::string(file.c_str()) +
                                                  " does not parse whole (\"" + c.stray +
                                                  "\" stands outside its sections); the manifest is damaged"))
                << said;
        } else {
            EXPECT_EQ(std::string::npos, said.find("damaged")) << said;
        }
    }
}

TEST_F(ManifestTest, ACommentRunsToTheEndOfItsLine)
{
    ASSERT_TRUE(load("<data> 1 ; 2 3\n4 ;\n5\n"));
    EXPECT_EQ((std::vector<int>{1, 4, 5}), numbers());
}

TEST_F(ManifestTest, SoundWordsGiveClipsOfTheirKind)
{
    ASSERT_TRUE(load("<sounds>\n+click *+click *+song.xm +theme.s3m intro.mod loop.wav song.MOD ab *a \"\"\n"));
    const std::string folder = world.programFolder();
    EXPECT_EQ((std::vector<std::string>{"0 +click", "1 +click", "2 +song.xm", "2 +theme.s3m", "2 " + inFolder("intro.mod"),
                                        "0 " + inFolder("loop.wav"), "0 " + inFolder("song.MOD")}),
              sounds());
    // Words of one or two characters are neither sounds nor progress items.
    EXPECT_EQ(7, counted);
    EXPECT_EQ(7, canvas->getEntriesLoaded());
}

TEST_F(ManifestTest, ASecondSoundsSectionReplacesTheFirst)
{
    ASSERT_TRUE(load("<sounds> +one +two <strings> s <sounds> +three\n"));
    EXPECT_EQ(std::vector<std::string>{"0 +three"}, sounds());
    EXPECT_EQ(3, canvas->getEntriesLoaded());
}

TEST_F(ManifestTest, NumbersAreTruncatedTowardZeroAndWrapBeyondThirtyTwoBits)
{
    ASSERT_TRUE(load("<data> 1 -2 3.9 -3.9 0x10 0xFF808080 -0x7F7F7F80 10-20 4294967296 <strings> done\n"));
    EXPECT_EQ((std::vector<int>{1, -2, 3, -3, 16, int(0xFF808080u), int(0x80808080u), -1020, 0}), numbers());
    EXPECT_EQ(std::vector<std::string>{"done"}, strings());
}

TEST(DataLoaderNumbers, ConversionToThirtyTwoBits)
{
    struct Case {
        double value;
        int expected;
    };
    const Case cases[] = {
        {0.0, 0},
        {2147483647.0, 2147483647},
        {2147483648.0, int(0x80000000u)},
        {-2147483649.0, 2147483647},
        {4294967295.9, -1},
        {-0.9, 0},
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {1e300, -1},
        {-1e300, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, sprite::DataLoader::toInt32(c.value)) << c.value;
}

std::string numberList(int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += std::to_string(i) + " ";
    return out;
}

TEST_F(ManifestTest, AThousandNumbersEndTheLoadingPassWithAWarning)
{
    ASSERT_TRUE(load("<data> " + numberList(1200) + "<strings> late <sounds> +ping\n"));
    std::vector<int> read = numbers();
    ASSERT_EQ(1000u, read.size());
    EXPECT_EQ(999, read.back());
    EXPECT_TRUE(strings().empty());
    EXPECT_TRUE(sounds().empty());
    EXPECT_NE(std::string::npos, world.debugText().find("reached 1000 numbers"));
    // The counting pass gives up after 600 numbers.
    EXPECT_EQ(0, counted);
}

TEST_F(ManifestTest, BelowTheLimitsBothPassesGoOn)
{
    ASSERT_TRUE(load("<data> " + numberList(599) + "<sounds> +one +two\n"));
    EXPECT_EQ(599u, numbers().size());
    EXPECT_EQ(2u, sounds().size());
    EXPECT_EQ(2, counted);
    EXPECT_EQ(std::string::npos, world.debugText().find("reached"));
}

TEST_F(ManifestTest, StringsKeepQuotedTextsAndNumbersAsText)
{
    ASSERT_TRUE(load("<strings> alpha \"two words\" \"\" 12 -0.5 1.234567891234\n"));
    EXPECT_EQ((std::vector<std::string>{"alpha", "two words", "", "12", "-0.5", "1.23456789"}), strings());
    EXPECT_EQ(0, counted);
}

TEST_F(ManifestTest, AnImageNameTakesTheNextWordAsItsFileEvenAHeader)
{
    world.data().picture("pic", 2, 2, 0xFF00FF00u);
    ASSERT_TRUE(load("<images> a +pic b <data> 5 <strings> z\n"));
    ASSERT_NE(nullptr, image("a"));
    EXPECT_STREQ("+pic", image("a")->getName().c_str());
    // "b" took "<data>" as its file, "5" became a name with "<strings>",
    // and "z" had no file before the end.
    ASSERT_NE(nullptr, image("b"));
    EXPECT_STREQ((inFolder("<data>")).c_str(), image("b")->getName().c_str());
    EXPECT_NE(nullptr, image("5"));
    EXPECT_EQ(nullptr, image("z"));
    EXPECT_TRUE(numbers().empty());
    EXPECT_TRUE(strings().empty());
    EXPECT_EQ(3, counted);
}

TEST_F(ManifestTest, PackWordsAreCaseSensitive)
{
    world.data().imagePack("pack.bin", {{"p1", testsupport::GameData::png(1, 1, [](int, int) { return 0xFFFFFFFFu; })}});
    ASSERT_TRUE(load("<images> pack.bin x.BIN +pic\n"));
    EXPECT_NE(nullptr, image("p1"));
    ASSERT_NE(nullptr, image("x.BIN"));
    EXPECT_STREQ("+pic", image("x.BIN")->getName().c_str());
    EXPECT_EQ(2, counted);
    EXPECT_EQ(2, canvas->getEntriesLoaded());
}

TEST_F(ManifestTest, SpriteEntriesTakeImagesUpToTheFirstNumber)
{
    world.data().picture("42", 3, 3, 0xFF112233u);
    world.data().picture("pic", 4, 4, 0xFF445566u);
    ASSERT_TRUE(load("<sprites>\n"
                     "Quoted Sprite \"42\" 1 2\n"
                     "Bare   Sprite 42 1 2\n"
                     "\"\"   Sprite pic 0 0\n"
                     "Empty  Sprite \"\" 0 0\n"));
    ASSERT_EQ(4, spriteCount());
    auto* quoted = static_cast<sprite::ImageSprite*>(named("Quoted"));
    ASSERT_NE(nullptr, quoted->getImage());
    EXPECT_EQ(3, quoted->getImage()->getWidth());
    // Unquoted digits are the first number.
    auto* bare = static_cast<sprite::ImageSprite*>(named("Bare"));
    EXPECT_EQ(nullptr, bare->getImage());
    EXPECT_EQ(42, bare->left());
    // The unnamed sprite is listed but has no name to be found by.
    EXPECT_STREQ("", spriteAt(2)->getName().c_str());
    EXPECT_EQ(3, loader->getNames()->size());
    EXPECT_NE(nullptr, static_cast<sprite::ImageSprite*>(spriteAt(2))->getImage());
    EXPECT_EQ(nullptr, static_cast<sprite::ImageSprite*>(named("Empty"))->getImage());
}

TEST_F(ManifestTest, UnknownAndNonSpriteClassesAreSkippedButCounted)
{
    ASSERT_TRUE(load("<sprites> A NoSuchClass 1 2 B TransitionWipe 1 2 C Sprite 0 0 D RectSprite 0 0 5 5 -1\n"));
    ASSERT_EQ(2, spriteCount());
    EXPECT_STREQ("C", spriteAt(0)->getName().c_str());
    EXPECT_STREQ("D", spriteAt(1)->getName().c_str());
    EXPECT_EQ(4, counted);
    EXPECT_EQ(2, canvas->getEntriesLoaded());
    EXPECT_TRUE(world.boxes().empty());
}

TEST_F(ManifestTest, APictureWithAnAutomaskPartnerIsLoadedAsAPair)
{
    world.data().picture("ghost", 2, 1, 0xFF808080u);
    // Blue 255 gives alpha 0, blue 0 alpha 255.
    world.data().picture("ghost_automask", 2, 1, [](int x, int) { return x == 0 ? 0xFF0000FFu : 0xFF000000u; });
    ASSERT_TRUE(load("<sprites> G Sprite ghost 0 0\n"));
    window::ImageBase* picture = static_cast<sprite::ImageSprite*>(named("G"))->getImage();
    ASSERT_NE(nullptr, picture);
    EXPECT_STREQ("+ghost|+ghost_automask", picture->getName().c_str());
    uint32_t* pixels = picture->getPixels();
    ASSERT_NE(nullptr, pixels);
    EXPECT_EQ(0x00u, pixels[0] >> 24);
    EXPECT_EQ(0xFFu, pixels[1] >> 24);
}

TEST_F(ManifestTest, TheCanvasIsAskedFirstForEverySprite)
{
    struct MakingCanvas : testsupport::RecordingCanvas<> {
        sprite::SpriteBase* createSprite(const lang::String& kind, lang::IntArray* numbers, lang::ObjectArray*,
                                         sprite::DataLoader*) override
        {
            kinds.push_back(std::string(kind.c_str()) + "/" + std::to_string(numbers->length()));
            if (!kind.equals("Special"))
                return nullptr;
            auto* s = static_cast<sprite::SpriteBase*>(lang::Class::forName(lang::String("RectSprite"))->newInstance());
            return s;
        }
        std::vector<std::string> kinds;
    };
    auto* making = new MakingCanvas();
    canvas = making;
    ASSERT_TRUE(load("<sprites> A Special 1 2 3 B Sprite 0 0\n"));
    // Asked in the loading pass only.
    EXPECT_EQ((std::vector<std::string>{"Special/3", "Sprite/2"}), making->kinds);
    ASSERT_EQ(2, spriteCount());
    EXPECT_TRUE(named("A")->isInstanceOf("RectSprite"));
}

TEST_F(ManifestTest, CountingMatchesLoadingForKnownClasses)
{
    world.data().picture("pic", 2, 2, 0xFF000000u);
    ASSERT_TRUE(load("<images> a +pic b +pic <sounds> +ping *+pong <sprites> X Sprite a 0 0 Y Sprite b 1 1\n"));
    EXPECT_EQ(6, counted);
    EXPECT_EQ(6, canvas->getEntriesLoaded());
}

TEST_F(ManifestTest, AMissingArchiveItemReadsAsAnEmptyManifest)
{
    makeLoader();
    EXPECT_EQ(0, loader->countEntries(lang::String("+nothing")));
    EXPECT_TRUE(loader->load(lang::String("+nothing")));
    EXPECT_EQ(0, spriteCount());
    EXPECT_TRUE(world.boxes().empty());
}

TEST_F(ManifestTest, AMissingDiskManifestFailsWithABox)
{
    makeLoader();
    EXPECT_EQ(0, loader->countEntries(lang::String("absent.txt")));
    EXPECT_FALSE(loader->load(lang::String("absent.txt")));
    std::vector<platform::MessageBoxRecord> boxes = world.boxes("Error");
    ASSERT_EQ(2u, boxes.size()) << "one per pass";
    EXPECT_EQ(0u, boxes[0].text.find("Error Opening ")) << boxes[0].text;
}

TEST_F(ManifestTest, ADiskManifestIsReadUnderTheCodeBase)
{
    world.data().file("disk.txt", testsupport::GameData::withCrLf("<strings> from disk ; comment\n<end>\n"));
    makeLoader();
    ASSERT_TRUE(loader->load(lang::String("disk.txt")));
    EXPECT_EQ((std::vector<std::string>{"from", "disk"}), strings());
    // A second pass rewinds the stream it opened the first time.
    ASSERT_TRUE(loader->load(lang::String("disk.txt")));
    EXPECT_EQ(2u, strings().size());
    EXPECT_EQ(1, loader->getStreamTable()->size());
}

} // namespace
} // namespace loadertest

namespace loadertest {
namespace {

class PlayerPictureTest : public ManifestTest {
protected:
    void SetUp() override
    {
        ManifestTest::SetUp();
        testsupport::GameData& data = world.data();
        data.picture("face", 2, 2, 0xFFFF0000u);
        data.picture("bad", 1, 1, 0xFF00FF00u);
        data.picture("other", 3, 3, 0xFF0000FFu);
        data.picture("none", 4, 4, 0xFFFFFF00u);
        data.file("mine.png", testsupport::GameData::png(6, 6, [](int, int) { return 0xFF123456u; }));
        data.file("broken.png", std::string("not a picture at all"));
    }
    const char* manifest = "<images> a @face b @bad c @alt d @none\n";
};

TEST_F(PlayerPictureTest, ThePlayersOwnFileComesFirstAndTheArchiveBackstops)
{
    world.setSetting("face", "mine.png");
    world.setSetting("bad", "broken.png");
    world.setSetting("alt", "+other");
    ASSERT_TRUE(load(manifest, world.settings()));
    ASSERT_NE(nullptr, image("a"));
    EXPECT_EQ(6, image("a")->getWidth());
    EXPECT_TRUE(image("a")->hasPixels()) << "decoded at once";
    EXPECT_STREQ("+bad", image("b")->getName().c_str()) << "a file with no picture falls back";
    EXPECT_EQ(1, image("b")->getWidth());
    EXPECT_STREQ("+other", image("c")->getName().c_str());
    EXPECT_STREQ("+none", image("d")->getName().c_str());
    EXPECT_EQ(4, counted);
}

TEST_F(PlayerPictureTest, WithoutASettingsStoreTheArchiveItemIsUsed)
{
    world.setSetting("face", "mine.png");
    ASSERT_TRUE(load(manifest));
    EXPECT_STREQ("+face", image("a")->getName().c_str());
    EXPECT_EQ(2, image("a")->getWidth());
}

} // namespace
} // namespace loadertest
