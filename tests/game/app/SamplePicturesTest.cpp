// SamplePicturesTest.cpp: every picture the game names is in the archive the
// build makes: the archive names in the engine's code (the cursor table, the
// zoom masks, the effects' particles), every picture of the data manifests'
// sprite lists and any the scripts name. The names are read from the sources
// as they stand, so a name added anywhere is checked without a list here.
// Every character keeps its clothes while it talks. Each chapter is called
// alike in the chapter book and on its slides. The name prompt says how
// long a name may be. The island's words agree with its signs.
#include "core/lang/ResourceFile.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "game/dialogs/ProfileInputPrompt.h"
#include "tests/game/support/GameFixture.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace gametest {
namespace {

namespace fs = std::filesystem;

// The game data the tools build beside the program (none without the tools).
#ifdef HV_SAMPLE_DIR
const char* const kPicturesSampleFolder = HV_SAMPLE_DIR;
#else
const char* const kPicturesSampleFolder = "";
#endif

std::string picturesFileText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The files below the folder whose names end in one of the endings.
std::vector<fs::path> picturesFilesBelow(const fs::path& folder, const std::set<std::string>& endings)
{
    std::vector<fs::path> found;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file() && endings.count(entry.path().extension().string()))
            found.push_back(entry.path());
    }
    return found;
}

// Who names a picture: the file, for the failure message.
using PictureNames = std::map<std::string, std::string>;

// Archive names in code: quoted texts that start with '+'. A name ending in
// '_' is completed by a number: the ordinary cursors, 0 to the first special.
void namesInCode(const fs::path& folder, PictureNames& names)
{
    static const std::regex kArchiveName("\"\\+([A-Za-z0-9_./]+)\"");
    for (const fs::path& file : picturesFilesBelow(folder, {".cpp", ".h"})) {
        const std::string text = picturesFileText(file);
        for (std::sregex_iterator it(text.begin(), text.end(), kArchiveName), end; it != end; ++it) {
            const std::string name = (*it)[1];
            if (name.back() != '_') {
                names[name] = file.string();
                continue;
            }
            for (int i = 0; i < LanternfieldCanvas::FIRST_SPECIAL_CURSOR; ++i)
                names[name + std::to_string(i)] = file.string();
        }
    }
}

// The pictures of the manifests' sprite lists: after a sprite's name and
// kind, every word that is not a number names a picture.
void namesInManifests(const fs::path& folder, PictureNames& names)
{
    static const std::regex kNumber("-?(0x[0-9A-Fa-f]+|[0-9.]+)");
    for (const fs::path& file : picturesFilesBelow(folder, {".txt"})) {
        std::istringstream in(picturesFileText(file));
        bool sprites = false;
        for (std::string line; std::getline(in, line);) {
            line = line.substr(0, line.find(';'));
            if (!line.empty() && line[0] == '<') {
                sprites = line.rfind("<sprites>", 0) == 0;
                continue;
            }
            std::istringstream words(line);
            std::string name, kind, word;
            if (!sprites || !(words >> name >> kind))
                continue;
            while (words >> word) {
                if (!std::regex_match(word, kNumber))
                    names[word] = file.string();
            }
        }
    }
}

// Pictures the scripts name: archive names ('+') and picture files.
void namesInScripts(const fs::path& folder, PictureNames& names)
{
    static const std::regex kPicture("\"\\+?([A-Za-z0-9_./]+\\.png)\"|\"\\+([A-Za-z0-9_./]+)\"");
    for (const fs::path& file : picturesFilesBelow(folder, {".lua"})) {
        const std::string text = picturesFileText(file);
        for (std::sregex_iterator it(text.begin(), text.end(), kPicture), end; it != end; ++it)
            names[(*it)[1].matched ? (*it)[1].str() : (*it)[2].str()] = file.string();
    }
}

TEST(SamplePicturesTest, EveryPictureTheCodeTheManifestsAndTheScriptsNameIsInTheArchive)
{
    if (!hasSampleGame())
        GTEST_SKIP() << "the game data is built with the tools";
    const fs::path source = HV_SOURCE_DIR;
    PictureNames code, manifests, scripts;
    namesInCode(source / "game", code);
    namesInCode(source / "scenes", code);
    namesInManifests(source / "data" / "manifest", manifests);
    namesInScripts(source / "data" / "scripts", scripts);
    // The scan finds what it looks for: the cursors of the table, a room's
    // picture, the game's cursor sprite.
    for (const char* name : {"iCursor_0", "iCursor_10", "iCursor_X", "Temple3_Cursor_TorchOnFire_alpha"})
        EXPECT_EQ(1u, code.count(name)) << name;
    EXPECT_EQ(1u, manifests.count("rooms/MarketPlace.png"));
    EXPECT_EQ(1u, manifests.count("iCursor_8"));

    auto* archive = new lang::ResourceFile(lang::String((fs::path(kPicturesSampleFolder) / "Lanternfield.bin").string().c_str()));
    for (const PictureNames* names : {&code, &manifests, &scripts}) {
        for (const auto& named : *names) {
            lang::ResourceItem* item = archive->getItem(lang::String(named.first.c_str()), true);
            EXPECT_NE(nullptr, item) << named.first << ", named in " << named.second;
            if (item)
                item->release();
        }
    }
    archive->release();
}

// The item's bytes ("" when the archive lacks it).
std::string picturesItemBytes(lang::ResourceFile* archive, const std::string& name)
{
    lang::ResourceItem* item = archive->getItem(lang::String(name.c_str()), true);
    if (!item)
        return std::string();
    std::string bytes(reinterpret_cast<const char*>(item->getData()), size_t(item->getSize()));
    item->release();
    return bytes;
}

TEST(SamplePicturesTest, EveryCharacterTalksInTheClothesItStandsIn)
{
    if (!hasSampleGame())
        GTEST_SKIP() << "the game data is built with the tools";
    auto* archive = new lang::ResourceFile(lang::String((fs::path(kPicturesSampleFolder) / "Lanternfield.bin").string().c_str()));
    int figures = 0;
    for (const fs::path& file : picturesFilesBelow(fs::path(HV_SOURCE_DIR) / "data" / "figures", {".txt"})) {
        const std::string folder = "figures/" + file.stem().string() + "/";
        // The talking pose's torso and arms are the standing pose's.
        for (const char* part : {"TorsoB", "ArmRB", "ArmLB"}) {
            const std::string standing = picturesItemBytes(archive, folder + part + ".png");
            EXPECT_FALSE(standing.empty()) << folder << part;
            EXPECT_TRUE(standing == picturesItemBytes(archive, folder + part + "1.png")) << folder << part;
        }
        ++figures;
    }
    EXPECT_EQ(11, figures);
    archive->release();
}

// The quoted texts of a picture's "text" lines, in order.
std::vector<std::string> picturesTexts(const fs::path& picture)
{
    static const std::regex kText("^text [-0-9 ]+ 0x[0-9A-Fa-f]+ \"([^\"]*)\"");
    std::vector<std::string> texts;
    std::istringstream in(picturesFileText(picture));
    std::smatch m;
    for (std::string line; std::getline(in, line);) {
        if (std::regex_search(line, m, kText))
            texts.push_back(m[1]);
    }
    return texts;
}

// Each chapter has one name: its page of the chapter book shows it, the
// page's description begins with it, and the first slide of the chapter's
// slide show gives it under the chapter's number.
TEST(SamplePicturesTest, EveryChapterIsCalledAlikeInTheBookAndOnItsSlides)
{
    const fs::path data = fs::path(HV_SOURCE_DIR) / "data";
    // The slide groups of the cut scene room: first slide, count, room.
    std::vector<int> firstSlides;
    {
        std::istringstream in(picturesFileText(data / "manifest" / "rooms" / "Vignette.txt"));
        std::string line;
        while (std::getline(in, line) && line != "<data>") {
        }
        int skip = 2; // the exits, the group count
        while (std::getline(in, line) && line != "<sprites>") {
            std::istringstream numbers(line.substr(0, line.find(';')));
            int first = 0, count = 0, room = 0;
            if (skip > 0) {
                skip -= numbers >> first ? 1 : 0;
            } else if (numbers >> first >> count >> room) {
                firstSlides.push_back(first);
            }
        }
    }
    ASSERT_GE(firstSlides.size(), 6u);
    const std::string texts = picturesFileText(data / "texts.txt");
    for (int chapter = 1; chapter <= 6; ++chapter) {
        SCOPED_TRACE("chapter " + std::to_string(chapter));
        const std::vector<std::string> page =
            picturesTexts(data / "pictures" / "book" / ("chapter" + std::to_string(chapter) + ".txt"));
        ASSERT_FALSE(page.empty());
        const std::string& name = page[0];
        for (const std::string& text : page)
            EXPECT_TRUE(text == name || text == "Chapter " + std::to_string(chapter)) << text;
        // Both its looks (complete, and played or to come) are in its colours.
        const std::string picture =
            picturesFileText(data / "pictures" / "book" / ("chapter" + std::to_string(chapter) + ".txt"));
        std::smatch complete, open;
        ASSERT_TRUE(std::regex_search(picture, complete, std::regex("box 0 0 280 200 (0x[0-9A-F]+)")));
        ASSERT_TRUE(std::regex_search(picture, open, std::regex("box 280 0 280 200 (0x[0-9A-F]+)")));
        EXPECT_EQ(complete[1].str(), open[1].str()) << "the chapter's page shows it greyed";
        const std::string description = "STR_CHAPTER_DESCRIPTION_" + std::to_string(chapter) + " = " + name + ":";
        EXPECT_NE(std::string::npos, texts.find(description)) << description;
        const std::vector<std::string> slide = picturesTexts(
            data / "pictures" / "vignette" / ("Slide" + std::to_string(firstSlides[size_t(chapter - 1)]) + ".txt"));
        EXPECT_EQ((std::vector<std::string>{"Chapter " + std::to_string(chapter), name}), slide);
    }
}

// The island's words call its places as their signs do (the exits' boxes
// say "Welcome Center"), put the bookshelf's clock where it hangs, and the
// fourth chapter's slides start past the inner sanctum the third finished.
TEST(SamplePicturesTest, TheIslandsWordsAgreeWithWhatTheScreenShows)
{
    std::istringstream texts(picturesFileText(fs::path(HV_SOURCE_DIR) / "data" / "texts.txt"));
    std::string line;
    int named = 0;
    while (std::getline(texts, line)) {
        std::string lower = line;
        for (char& c : lower)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        if (lower.find("welcome cent") != std::string::npos) {
            ++named;
            EXPECT_NE(std::string::npos, line.find("Welcome Center")) << line;
        }
        if (line.rfind("STR_PARKRANGER_4 =", 0) == 0) {
            EXPECT_NE(std::string::npos, lower.find("bookshelf")) << line;
        }
        if (line.rfind("Text8 =", 0) == 0) {
            EXPECT_EQ(std::string::npos, lower.find("sanctum waits")) << line;
        }
    }
    EXPECT_GE(named, 3);
}

// The new player's prompt says how long a name may be: the limit its field
// keeps to is written on the panel's picture.
TEST(SamplePicturesTest, TheNamePromptTellsHowManyLettersANameMayHave)
{
    const std::string panel =
        picturesFileText(fs::path(HV_SOURCE_DIR) / "data" / "pictures" / "dialogs" / "ProfilePromptPanel.txt");
    ASSERT_FALSE(panel.empty());
    const std::regex limit("\\b" + std::to_string(ProfileInputPrompt::MAX_NAME_LENGTH) + " letters\\b");
    EXPECT_TRUE(std::regex_search(panel, limit)) << panel;
}

} // namespace
} // namespace gametest
