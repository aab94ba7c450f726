// BookDlgSpriteTest.cpp: the chapter book in the fixture game: the buttons
// and arrows each page shows for the player's progress, the page flip that
// draws the new page on the fifth frame, the buttons' own part before the
// canvas acts, and a right arrow that starts an unseen chapter at once.
#include "game/menus/BookDlgSprite.h"
#include "game/progress/ProgressRecord.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/game/support/DialogInput.h"
#include "tests/game/support/GameFixture.h"

#include <sstream>

namespace gametest {
namespace {

// Arrows and the buttons' row where the book's definition puts them.
constexpr int kLeftArrowX = 100, kRightArrowX = 690, kArrowY = 480;
constexpr int kPageButtonX = 500, kPageButtonY = 395;

std::string bookManifest()
{
    std::ostringstream m;
    m << "<sprites>\n"
      << "ChapterTitleText NewFontSprite font.png glyphs.png 100 10 0 0x80808080 0 0\n"
      << "ChapterDescriptionText NewFontSprite font.png glyphs.png 100 40 0 0x80808080 0 0\n";
    for (int i = 1; i <= 6; ++i) {
        m << "ChapterPictureColor_" << i << " AnimateSprite two.png 400 100 2 1 -1\n";
        m << "ChapterPictureBW_" << i << " AnimateSprite two.png 400 100 2 1 0\n";
    }
    m << "ChapterComplete BoundsSprite 400 300 50 20\n"
      << "PlayButton ButtonSprite button.png 450 380 2 1 1 0 0 1\n"
      << "ResumeGame ButtonSprite button.png 450 380 2 1 1 0 0 1\n"
      << "ReplayGame ButtonSprite button.png 450 380 2 1 1 0 0 1\n"
      << "EndGame ButtonSprite button.png 0 556 2 1 1 0 0 1\n"
      << "bMenuOptions ButtonSprite button.png 0 520 2 1 1 0 0 1\n"
      << "bMenuInstructions ButtonSprite button.png 496 556 2 1 1 0 0 1\n"
      << "ArrowLeftNormal BoundsSprite 80 460 60 40\n"
      << "ArrowLeftRollover BoundsSprite 80 460 60 40\n"
      << "ArrowRightNormal BoundsSprite 660 460 60 40\n"
      << "ArrowRightRollover BoundsSprite 660 460 60 40\n"
      << "BackToChapterText NewFontSprite font.png glyphs.png 150 470 0 0x80808080 0 0\n"
      << "NextChapterText NewFontSprite font.png glyphs.png 500 470 0 0x80808080 0 0\n"
      << "PageFlip_Overlay BoundsSprite 400 50 300 400\n"
      << "<end>\n";
    return m.str();
}

class BookDlgSpriteTest : public GameFixture {
protected:
    void SetUp() override
    {
        world.data().gridFont("font.png", "glyphs.png");
        world.data().picture("two.png", 40, 20, 0xFF806040u);
        // Buttons of two frames, 100 x 30 each.
        world.data().picture("button.png", 200, 30, 0xFF406080u);
        for (int i = 1; i <= 6; ++i) {
            world.data().text("STR_CHAPTER_TITLE_" + std::to_string(i), "Title %1");
            world.data().text("STR_CHAPTER_DESCRIPTION_" + std::to_string(i), "Page %1 (%1)");
        }
        world.data().text("STR_BACK_TO_CHAPTER", "Back to %1");
        world.data().text("STR_CONTINUE_TO_CHAPTER", "On to %1");
        GameOptions options;
        options.dialogManifests["BookDialog"] = bookManifest();
        options.sounds.assign(BookDlgSprite::SOUND_PAGE_FLIP + 1, "+tone.wav");
        options.gameScript = "function LF_setGlobalISpyActive(n) record(\"LF_setGlobalISpyActive\", n) end\n";
        ASSERT_TRUE(startGame(options));
        book = static_cast<BookDlgSprite*>(canvas->getSprite("BookDialog"));
        ASSERT_TRUE(book->isInstanceOf("BookDlgSprite"));
    }
    void progress(int chapter, int completed)
    {
        canvas->getProgress()->chapter = chapter;
        canvas->getProgress()->maxChapter = completed;
    }
    bool shows(const char* name) { return book->getSprite(name)->isVisible(); }
    std::string text(const char* name)
    {
        return static_cast<sprite::NewFontSprite*>(book->getSprite(name))->getText().c_str();
    }
    int pictureFrame(int n)
    {
        return static_cast<sprite::AnimateSprite*>(book->getSprite(("ChapterPictureColor_" + std::to_string(n)).c_str()))
            ->getFrame();
    }
    // The sounds played so far by their table index.
    int timesPlayed(int index)
    {
        int n = 0;
        for (const std::string& s : canvas->sounds())
            n += s.rfind("play " + std::to_string(index) + " ", 0) == 0;
        return n;
    }

    BookDlgSprite* book = nullptr;
};

TEST_F(BookDlgSpriteTest, EachPageShowsTheButtonForTheProgressAndItsCompletion)
{
    const struct {
        int page, chapter, completed;
        bool seen, resetGame;
        const char* button;
    } cases[] = {
        // Earlier chapters are played again, their cut scenes seen or not.
        {1, 3, 2, true, false, "ReplayGame"},
        {1, 3, 2, false, false, "ReplayGame"},
        {2, 3, 1, true, false, "ReplayGame"},
        {2, 3, 1, false, true, "ReplayGame"},
        // The current chapter: a new game plays it, a game under way resumes,
        // also while it is played again.
        {3, 3, 2, false, true, "PlayButton"},
        {3, 3, 2, true, false, "ResumeGame"},
        {3, 3, 3, false, false, "ResumeGame"},
        {3, 3, 5, false, false, "ResumeGame"},
        // Later chapters: the completed ones again, beyond them to play.
        {4, 3, 4, false, false, "ReplayGame"},
        {5, 3, 4, true, false, "PlayButton"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("page " + std::to_string(c.page) + " of chapter " + std::to_string(c.chapter));
        progress(c.chapter, c.completed);
        canvas->setResetGame(c.resetGame);
        if (c.seen)
            canvas->setVignetteSeen(c.page);
        else
            canvas->setVignetteNotSeen(c.page);
        book->showChapterPage(c.page);
        for (const char* button : {"PlayButton", "ResumeGame", "ReplayGame"})
            EXPECT_EQ(std::string(button) == c.button, shows(button)) << button;
        const bool complete = c.page <= c.completed;
        EXPECT_EQ(complete, shows("ChapterComplete"));
        EXPECT_EQ(complete ? 0 : 1, pictureFrame(c.page));
        for (int n = 1; n <= 6; ++n) {
            EXPECT_EQ(n == c.page, book->getSprite(("ChapterPictureColor_" + std::to_string(n)).c_str())->isVisible());
            EXPECT_FALSE(book->getSprite(("ChapterPictureBW_" + std::to_string(n)).c_str())->isVisible());
        }
        EXPECT_EQ("Title " + std::to_string(c.page), text("ChapterTitleText"));
    }
    EXPECT_EQ("Page 5 (5)", text("ChapterDescriptionText")) << "every %1 is replaced";
    EXPECT_TRUE(world.boxes().empty());
}

TEST_F(BookDlgSpriteTest, TheArrowsOfferOnlyTheChaptersReached)
{
    const struct {
        int page, completed;
        bool left, right;
    } cases[] = {
        {1, 0, false, false}, {1, 1, false, true}, {2, 1, true, false},
        {3, 5, true, true},   {6, 6, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("page " + std::to_string(c.page) + ", completed " + std::to_string(c.completed));
        progress(c.page, c.completed);
        book->showChapterPage(c.page);
        EXPECT_EQ(c.left, shows("ArrowLeftNormal"));
        EXPECT_EQ(c.right, shows("ArrowRightNormal"));
        EXPECT_FALSE(shows("ArrowLeftRollover"));
        EXPECT_FALSE(shows("ArrowRightRollover"));
        EXPECT_EQ(c.left, shows("BackToChapterText"));
        EXPECT_EQ(c.right, shows("NextChapterText"));
        if (c.left) {
            EXPECT_EQ("Back to " + std::to_string(c.page - 1), text("BackToChapterText"));
        }
        if (c.right) {
            EXPECT_EQ("On to " + std::to_string(c.page + 1), text("NextChapterText"));
        }
    }
}

TEST_F(BookDlgSpriteTest, AnArrowTurnsThePageOnTheFifthFrameAndIgnoresClicksMeanwhile)
{
    progress(3, 4);
    book->open(2, false);
    world.stepFrames(30);
    const int flipsBefore = timesPlayed(BookDlgSprite::SOUND_PAGE_FLIP);
    EXPECT_EQ(sprite::DialogSprite::HANDLED, pressOn(book, kRightArrowX, kArrowY));
    EXPECT_EQ(3, book->getPage());
    EXPECT_TRUE(book->isFlipping());
    EXPECT_TRUE(shows("PageFlip_Overlay"));
    EXPECT_EQ(flipsBefore + 1, timesPlayed(BookDlgSprite::SOUND_PAGE_FLIP));
    // Arrows do nothing while the page turns.
    pressOn(book, kRightArrowX, kArrowY);
    pressOn(book, kLeftArrowX, kArrowY);
    EXPECT_EQ(3, book->getPage());
    EXPECT_EQ(flipsBefore + 1, timesPlayed(BookDlgSprite::SOUND_PAGE_FLIP));
    for (int frame = 1; frame <= 4; ++frame) {
        world.stepFrames(1);
        EXPECT_EQ("Title 2", text("ChapterTitleText")) << "frame " << frame;
        EXPECT_TRUE(shows("PageFlip_Overlay"));
    }
    world.stepFrames(1);
    EXPECT_EQ("Title 3", text("ChapterTitleText"));
    EXPECT_FALSE(shows("PageFlip_Overlay"));
    EXPECT_FALSE(book->isFlipping());
    // Back again with the left arrow.
    pressOn(book, kLeftArrowX, kArrowY);
    world.stepFrames(5);
    EXPECT_EQ("Title 2", text("ChapterTitleText"));
}

TEST_F(BookDlgSpriteTest, ARightArrowTowardAnUnseenChapterStartsItAtOnce)
{
    progress(1, 1);
    canvas->setResetGame(false);
    book->open(1, false);
    world.stepFrames(30);
    clearCalls();
    pressOn(book, kRightArrowX, kArrowY);
    EXPECT_FALSE(book->isFlipping());
    EXPECT_EQ(2, canvas->getProgress()->chapter);
    EXPECT_EQ(LanternfieldCanvas::ROOM_VIGNETTE, canvas->getProgress()->currentRoom) << "its cut scene plays";
    EXPECT_TRUE(book->isFading());
    EXPECT_LT(book->getFadeStep(), 0);
    world.stepFrames(30);
    EXPECT_FALSE(book->isVisible());

    // With the cut scene seen the page only turns.
    canvas->getProgress()->maxChapter = 2;
    canvas->setVignetteSeen(3);
    book->open(2, false);
    world.stepFrames(30);
    pressOn(book, kRightArrowX, kArrowY);
    EXPECT_TRUE(book->isFlipping());
    EXPECT_EQ(2, canvas->getProgress()->chapter);
}

TEST_F(BookDlgSpriteTest, ThePageButtonsDoTheirPartBeforeTheCanvas)
{
    progress(4, 4);
    canvas->setResetGame(false);
    book->open(4, false);
    world.stepFrames(30);
    ASSERT_TRUE(shows("ResumeGame"));
    clearCalls();
    // Resume: the book fades away and the command goes on.
    EXPECT_EQ(sprite::DialogSprite::COMMAND_READY, pressOn(book, kPageButtonX, kPageButtonY));
    EXPECT_STREQ("ResumeGame", book->getLastCommand().c_str());
    EXPECT_LT(book->getFadeStep(), 0);
    EXPECT_EQ(4, canvas->getProgress()->chapter);

    // Replay: the global I-Spy game ends, the room is left, the page's
    // chapter becomes the current one with its cut scene to see again.
    canvas->setVignetteNotSeen(2);
    book->open(2, false);
    world.stepFrames(30);
    ASSERT_TRUE(shows("ReplayGame"));
    canvas->setVignetteSeen(2);
    canvas->getProgress()->currentRoom = 5;
    clearCalls();
    EXPECT_EQ(sprite::DialogSprite::COMMAND_READY, pressOn(book, kPageButtonX, kPageButtonY));
    EXPECT_STREQ("ReplayGame", book->getLastCommand().c_str());
    EXPECT_EQ(2, canvas->getProgress()->chapter);
    EXPECT_EQ(5, canvas->getProgress()->lastRoom) << "the room was left";
    EXPECT_EQ(0, canvas->getVignetteSeen(2));
    EXPECT_FALSE(calls("LF_setGlobalISpyActive(0)").empty());
    EXPECT_LT(book->getFadeStep(), 0);

    // Options stay over the book.
    book->open(2, false);
    world.stepFrames(30);
    EXPECT_EQ(sprite::DialogSprite::COMMAND_READY, pressOn(book, 430, 570));
    EXPECT_STREQ("bMenuOptions", book->getLastCommand().c_str());
    EXPECT_GT(book->getFadeStep(), 0);
}

TEST_F(BookDlgSpriteTest, TheInstructionsButtonShowsOnlyForAPuzzleWithAMiniGame)
{
    const struct {
        int game;
        bool puzzle;
        bool instructions;
    } cases[] = {{3, true, true}, {-1, true, false}, {3, false, false}, {0, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE("game " + std::to_string(c.game) + (c.puzzle ? " in a puzzle" : ""));
        canvas->setGameInstructionsInfo(c.game, 0, 0);
        book->open(1, c.puzzle);
        EXPECT_EQ(c.instructions, shows("bMenuInstructions"));
        sprite::SpriteBase* options = book->getSprite("bMenuOptions");
        sprite::SpriteBase* endGame = book->getSprite("EndGame");
        EXPECT_EQ(c.instructions ? 341 : 418, options->left());
        EXPECT_EQ(c.instructions ? 186 : 263, endGame->left());
        EXPECT_EQ(556, options->top());
        EXPECT_EQ(556, endGame->top());
    }
}

TEST_F(BookDlgSpriteTest, ArrowsLightUpUnderThePointerAndKeysAreIgnored)
{
    progress(3, 4);
    book->open(3, false);
    world.stepFrames(30);
    EXPECT_TRUE(moveOn(book, kLeftArrowX, kArrowY));
    EXPECT_FALSE(shows("ArrowLeftNormal"));
    EXPECT_TRUE(shows("ArrowLeftRollover"));
    EXPECT_TRUE(moveOn(book, kRightArrowX, kArrowY));
    EXPECT_TRUE(shows("ArrowLeftNormal"));
    EXPECT_FALSE(shows("ArrowLeftRollover"));
    EXPECT_TRUE(shows("ArrowRightRollover"));
    // Still over the arrow: nothing changes.
    EXPECT_FALSE(moveOn(book, kRightArrowX + 2, kArrowY));
    EXPECT_TRUE(moveOn(book, 300, 300));
    EXPECT_TRUE(shows("ArrowRightNormal"));
    EXPECT_FALSE(shows("ArrowRightRollover"));
    for (int key : {int('1'), 27, 13, int(' ')})
        EXPECT_EQ(sprite::DialogSprite::NOT_HANDLED, book->keyDown(key));
}

} // namespace
} // namespace gametest
