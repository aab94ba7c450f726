// GameInstructDialogTest.cpp: the mini-game instructions panel in the
// fixture game: the picture of each game number, the grow and the shrink
// with their sounds and the dimmer, presses refused meanwhile, the question
// mark brought back, and the close button that skips the shrink.
#include "game/dialogs/GameInstructDialog.h"
#include "sprites/buttons/ButtonMixin.h"
#include "tests/game/support/DialogInput.h"
#include "tests/game/support/GameFixture.h"

#include <sstream>

namespace gametest {
namespace {

using sprite::ButtonMixin;

// The panel sits at (200, 150), 400 x 300; its play and close buttons share
// one place, its own question mark is in the corner.
constexpr int kLeft = 200, kTop = 150;
constexpr int kPlayX = kLeft + 160, kPlayY = kTop + 255;
constexpr int kQuestionX = kLeft + 380, kQuestionY = kTop + 15;

std::string panelManifest()
{
    std::ostringstream m;
    m << "<sprites>\n";
    for (const char* picture : GameInstructDialog::kPictureNames) {
        if (*picture)
            m << picture << " BoundsSprite 20 40 360 200\n";
    }
    m << "insQuestionMark ButtonSprite button.png 370 5 2 1 1 0 0 1\n"
      << "playButton ButtonSprite button.png 150 245 2 1 1 0 0 1\n"
      << "closeButton ButtonSprite button.png 150 245 2 1 1 0 0 1\n"
      << "<end>\n";
    return m.str();
}

class GameInstructDialogTest : public GameFixture {
protected:
    void SetUp() override
    {
        // Two frames of 20 x 20.
        world.data().picture("button.png", 40, 20, 0xFF806040u);
        GameOptions options;
        options.dialogManifests["GameInstructions"] = panelManifest();
        options.sounds.assign(GameInstructDialog::SOUND_GROW + 1, "+tone.wav");
        ASSERT_TRUE(startGame(options));
        panel = static_cast<GameInstructDialog*>(canvas->getSprite("GameInstructions"));
        ASSERT_TRUE(panel->isInstanceOf("GameInstructDialog"));
        panel->setPosition(kLeft, kTop);
        mark = canvas->getSprite("GameInsQuestionMark");
        dimmer = canvas->getSprite("GameInsDimmer");
        canvas->clearRecords();
    }
    bool shows(const char* name) { return panel->getSprite(name)->isVisible(); }
    std::vector<std::string> playedSounds()
    {
        std::vector<std::string> out;
        for (const std::string& s : canvas->sounds()) {
            if (s.rfind("play ", 0) == 0)
                out.push_back(s.substr(5, s.find(' ', 5) - 5));
        }
        return out;
    }
    // Opens the panel of the game with the grow, as the question mark does.
    void grow(int game)
    {
        canvas->showGameInstructions(400, 300, game, true, true, GameInstructDialog::ZOOM_FRAMES, 50, 50, 0.1f, 1.0f);
    }
    bool flagSet(int game) { return canvas->getShowGameInstructions(game); }

    GameInstructDialog* panel = nullptr;
    sprite::SpriteBase* mark = nullptr;
    sprite::SpriteBase* dimmer = nullptr;
};

TEST_F(GameInstructDialogTest, ThePanelShowsThePictureOfItsGameOnly)
{
    for (int game : {0, 3, 4, 6, 12, 17, 5, -1, 18}) {
        SCOPED_TRACE(game);
        panel->setGame(game, true);
        EXPECT_TRUE(panel->isVisible());
        EXPECT_EQ(game, panel->getGame());
        for (int i = 0; i < GameInstructDialog::GAME_COUNT; ++i) {
            if (*GameInstructDialog::kPictureNames[i]) {
                EXPECT_EQ(i == game, shows(GameInstructDialog::kPictureNames[i])) << i;
            }
        }
        EXPECT_TRUE(shows("insQuestionMark"));
        EXPECT_TRUE(shows("playButton"));
        EXPECT_FALSE(shows("closeButton"));
    }
    // A selected question mark keeps its look; any other is made normal.
    ButtonMixin* own = ButtonMixin::fromSprite(panel->getSprite("insQuestionMark"));
    own->setState(ButtonMixin::SELECTED);
    panel->setGame(2, true);
    EXPECT_EQ(ButtonMixin::SELECTED, own->getState());
    own->setState(ButtonMixin::DISABLED);
    panel->setGame(2, true);
    EXPECT_EQ(ButtonMixin::NORMAL, own->getState());
    panel->setGame(2, false);
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(GameInstructDialogTest, ThePanelGrowsShrinksAndGivesTheQuestionMarkBack)
{
    canvas->setShowGameInstructions(3, true);
    mark->setVisible(true);
    grow(3);
    EXPECT_TRUE(panel->isZooming());
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(mark->isVisible());
    EXPECT_TRUE(dimmer->isVisible());
    EXPECT_EQ(0, dimmer->getAlpha());
    EXPECT_FALSE(flagSet(3)) << "the panel was seen";
    EXPECT_EQ((std::vector<std::string>{"48"}), playedSounds());
    // Presses are refused while the panel grows, also one on its play
    // button as it nears its full size.
    EXPECT_EQ(sprite::DialogSprite::NOT_HANDLED, pressOn(panel, kPlayX, kPlayY));
    world.stepFrames(GameInstructDialog::ZOOM_FRAMES - 1);
    ASSERT_TRUE(panel->isZooming());
    EXPECT_EQ(sprite::DialogSprite::NOT_HANDLED,
              pressOn(panel, panel->left() + panel->width() / 2 - 40, panel->top() + 255));
    world.stepFrames(3);
    EXPECT_FALSE(panel->isZooming());
    EXPECT_DOUBLE_EQ(1.0, panel->getScaleX());
    EXPECT_EQ(405, panel->getX()) << "grown to the point given, shifted by (5, -20)";
    EXPECT_EQ(280, panel->getY());
    EXPECT_EQ(128, dimmer->getAlpha());
    EXPECT_FALSE(mark->isVisible());

    // Play: the panel shrinks back into the corner.
    const int left = panel->left() + panel->width() / 2 - 40;
    const int top = panel->top() + 255;
    canvas->clearRecords();
    EXPECT_EQ(sprite::DialogSprite::COMMAND_READY, pressOn(panel, left, top));
    lang::String command(panel->getLastCommand());
    lang::String canvasCommand("");
    EXPECT_EQ(sprite::DialogSprite::REPLACE_COMMAND, panel->translateCommand(&command, &canvasCommand, 1));
    EXPECT_STREQ("", canvasCommand.c_str()) << "the canvas's command is left as it is";
    EXPECT_TRUE(panel->isZooming());
    EXPECT_EQ((std::vector<std::string>{"47"}), playedSounds());
    EXPECT_EQ(sprite::DialogSprite::NOT_HANDLED, pressOn(panel, left, top));
    world.stepFrames(GameInstructDialog::ZOOM_FRAMES + 2);
    EXPECT_FALSE(panel->isZooming());
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(mark->isVisible()) << "the question mark is back";
    EXPECT_FALSE(dimmer->isVisible()) << "the dimmer faded away";
    EXPECT_EQ(3, panel->getGame());
    EXPECT_TRUE(world.boxes().empty());
}

TEST_F(GameInstructDialogTest, ThePanelsOwnQuestionMarkAlsoShrinksItAndASelectedMarkStaysSelected)
{
    ButtonMixin* button = ButtonMixin::fromSprite(mark);
    button->setState(ButtonMixin::SELECTED);
    grow(7);
    world.stepFrames(GameInstructDialog::ZOOM_FRAMES + 2);
    canvas->clearRecords();
    world.click(panel->left() + kQuestionX - kLeft, panel->top() + kQuestionY - kTop);
    world.stepFrames(GameInstructDialog::ZOOM_FRAMES + 4);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(mark->isVisible());
    EXPECT_EQ(ButtonMixin::SELECTED, button->getState());
    EXPECT_EQ((std::vector<std::string>{"47"}), playedSounds());
}

TEST_F(GameInstructDialogTest, TheCloseButtonClosesAtOnceWithoutSound)
{
    // Opened from the menu: at once, offering the close button.
    canvas->setShowGameInstructions(10, true);
    canvas->showGameInstructions(400, 300, 10, true, false, 8, 50, 50, 0.1f, 1.0f);
    panel->showPlayButton(false);
    panel->showCloseButton(true);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(panel->isZooming());
    EXPECT_EQ(128, dimmer->getAlpha());
    EXPECT_TRUE(dimmer->isVisible());
    EXPECT_EQ(400 - panel->width() / 2, panel->left()) << "centred on the point";
    EXPECT_TRUE(shows("closeButton"));
    EXPECT_FALSE(shows("playButton"));

    world.click(panel->left() + 160, panel->top() + 255);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(panel->isZooming());
    EXPECT_TRUE(mark->isVisible());
    EXPECT_FALSE(dimmer->isVisible());
    EXPECT_TRUE(playedSounds().empty());

    // Opened again by its question mark, the panel offers play again.
    grow(10);
    EXPECT_TRUE(shows("playButton"));
    EXPECT_FALSE(shows("closeButton"));
}

TEST_F(GameInstructDialogTest, OnlyThePanelsButtonsAreItsCommands)
{
    const struct {
        const char* command;
        int result;
    } cases[] = {
        {"PLAYBUTTON", 1}, {"closebutton", 1}, {"InsQuestionMark", 1}, {"bMenuOptions", 0}, {"", 0},
    };
    for (const auto& c : cases) {
        panel->setGame(1, true);
        lang::String command(c.command);
        lang::String out("kept");
        EXPECT_EQ(c.result, panel->translateCommand(&command, &out, 1)) << c.command;
        EXPECT_STREQ("kept", out.c_str());
        world.stepFrames(GameInstructDialog::ZOOM_FRAMES + 2);
    }
}

} // namespace
} // namespace gametest
