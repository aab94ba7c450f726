// MenuSpriteTest.cpp: the main menu in the fixture game: the player's name,
// and the "ChangeProfile" command a click on it or on "ClickHere" gives,
// over any button beneath and also while the name is hidden.
#include "game/menus/MenuSprite.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/game/support/DialogInput.h"
#include "tests/game/support/GameFixture.h"

namespace gametest {
namespace {

// "ClickHere" lies under a button defined after it (so drawn above it).
const char kMenuManifest[] = R"(<sprites>
ProfileName NewFontSprite font.png glyphs.png 300 270 0 0x80808080 0 0
ClickHere BoundsSprite 300 320 200 20
bCovering RectButtonSprite 300 320 200 20 1
bStart1 RectButtonSprite 300 380 200 60 1
<end>
)";

class MenuSpriteTest : public GameFixture {
protected:
    void SetUp() override
    {
        world.data().gridFont("font.png", "glyphs.png");
        GameOptions options;
        options.dialogManifests["MainMenu"] = kMenuManifest;
        ASSERT_TRUE(startGame(options));
        menu = static_cast<MenuSprite*>(canvas->getSprite("MainMenu"));
        ASSERT_TRUE(menu->isInstanceOf("MenuSprite"));
        ASSERT_NE(nullptr, menu->getProfileNameText());
    }
    std::string pressed(int x, int y)
    {
        const int result = pressOn(menu, x, y);
        return std::to_string(result) + " " + menu->getLastCommand().c_str();
    }

    MenuSprite* menu = nullptr;
};

TEST_F(MenuSpriteTest, ThePlayersNameShowsAndHides)
{
    sprite::NewFontSprite* name = menu->getProfileNameText();
    EXPECT_EQ(menu->getSprite("ProfileName"), name);
    menu->setProfileName(lang::String("Alice"));
    EXPECT_STREQ("Alice", name->getText().c_str());
    EXPECT_TRUE(name->isVisible());
    menu->hideProfileName();
    EXPECT_FALSE(name->isVisible());
    menu->setProfileName(lang::String("Bob"));
    EXPECT_TRUE(name->isVisible());
    EXPECT_STREQ("Bob", name->getText().c_str());
    EXPECT_TRUE(menu->isShown()) << "the menu counts as shown from the start";
}

TEST_F(MenuSpriteTest, TheNameAndClickHereAskToChangeThePlayerOverAnyButton)
{
    menu->setProfileName(lang::String("Alice"));
    const struct {
        int x, y;
        const char* expected;
    } cases[] = {
        {305, 275, "1 ChangeProfile"},   // the name
        {310, 325, "1 ChangeProfile"},   // "ClickHere", under the button
        {499, 339, "1 ChangeProfile"},   // its far corner
        {400, 400, "1 bStart1"},         // another button
        {100, 100, "3 "},                // nothing
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, pressed(c.x, c.y)) << c.x << ", " << c.y;
    // Hidden, the name still answers where it was.
    menu->hideProfileName();
    EXPECT_EQ("1 ChangeProfile", pressed(305, 275));
}

TEST_F(MenuSpriteTest, ClickingTheNameSendsChangeProfileToTheCanvas)
{
    canvas->clearRecords();
    world.click(310, 325);
    world.stepFrames(1);
    EXPECT_EQ((std::vector<std::string>{"ChangeProfile"}), canvas->commands());
}

TEST(MenuSpriteAloneTest, WithoutADefinitionTheNameCallsDoNothing)
{
    auto* menu = new MenuSprite();
    menu->setProfileName(lang::String("Alice"));
    menu->hideProfileName();
    EXPECT_EQ(nullptr, menu->getProfileNameText());
    EXPECT_TRUE(menu->isInstanceOf("MenuSprite"));
    EXPECT_TRUE(menu->isInstanceOf("DialogSprite"));
    EXPECT_STREQ("MenuSprite", menu->getClassName());
    menu->release();
}

} // namespace
} // namespace gametest
