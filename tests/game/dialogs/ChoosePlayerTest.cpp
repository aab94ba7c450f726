// ChoosePlayerTest.cpp: the player selection with its new-profile prompt and
// confirmation dialog, built from a manifest and working on a settings store
// in a temporary folder: creating, refusing, listing, choosing and deleting
// profiles, and the keys and layout of the two nested dialogs.
#include "core/lang/StringArray.h"
#include "game/dialogs/ChoosePlayer.h"
#include "game/dialogs/GenericDialog.h"
#include "game/dialogs/ProfileInputPrompt.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/settings/User.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/game/support/BareCanvas.h"
#include "tests/game/support/LoadedSprites.h"
#include "tests/support/ChildProgram.h"
#include "windowing/window/Event.h"

#include "platform/registry/Registry.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace gametest {
namespace {

using sprite::ButtonMixin;

// Row x 60, first row at y 64, 30 apart; normal (10, 20, 30), chosen (40, 50, 60).
const char kChooser[] = R"(<data>
60 64 30 10 20 30 40 50 60
<sprites>
bkgSelectPlayer  BoundsSprite 0 0 400 300
protoName        NewFontSprite font glyphs 60 64 0 0x80808080
Hilite0          RectButtonSprite 44 60 312 28 1
Hilite1          RectButtonSprite 44 90 312 28 1
Hilite2          RectButtonSprite 44 120 312 28 1
Hilite3          RectButtonSprite 44 150 312 28 1
Hilite4          RectButtonSprite 44 180 312 28 1
acceptProfile    RectButtonSprite 25 244 110 34 1
deleteProfile    RectButtonSprite 140 244 110 34 1
createNewProfile RectButtonSprite 255 244 130 34 1
inputPrompt      ProfileInputPrompt:+prompt 40 60 320 180 0 0
genericDialog    GenericDialog:+generic 20 50 360 200 0 0
<end>
)";
const char kPrompt[] = R"(<sprites>
name             NewFontSprite font glyphs 50 73 0 0x80808080
submitNewProfile RectButtonSprite 50 130 100 34 1
cancelAddProfile RectButtonSprite 170 130 100 34 1
<end>
)";
const char kGeneric[] = R"(<sprites>
DuplicateNameTitle BoundsSprite 0 14 360 30
DeletePlayerTitle  BoundsSprite 0 14 360 30
messageText        NewFontSprite font glyphs 20 60 0 0x80808080
b1OK               RectButtonSprite 130 146 100 34 1
b1Delete           RectButtonSprite 60 146 100 34 1
b1Clear            RectButtonSprite 130 146 100 34 0
b2Cancel           RectButtonSprite 200 146 100 34 1
<end>
)";

class ChoosePlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::GameData& data = world.data();
        data.classScripts();
        data.gridFont("font", "glyphs");
        data.text("REGISTRYNAME", testsupport::GameWorld::kRegistryName);
        data.text("STR_DUPLICATE_NAME", "Taken");
        data.text("STR_REALLY_DELETE_1", "Delete ");
        data.text("STR_REALLY_DELETE_2", "?");
        data.manifest("chooser", kChooser);
        data.manifest("prompt", kPrompt);
        data.manifest("generic", kGeneric);
        ASSERT_TRUE(sprites.load(world, "ChoosePlayer ChoosePlayer:+chooser 200 150 400 300 1 0\n"));
        chooser = sprites.named<ChoosePlayer>("ChoosePlayer");
        ASSERT_NE(nullptr, chooser);
        prompt = chooser->getInputPrompt();
        generic = chooser->getGenericDialog();
        ASSERT_NE(nullptr, prompt);
        ASSERT_NE(nullptr, generic);
        profileStore = new sprite::User();
        chooser->setStores(world.settings(), profileStore);
    }
    void TearDown() override { profileStore->release(); }

    void addProfile(const std::string& name)
    {
        lang::String key = lang::String(name.c_str()).toUpperCase();
        world.settings()->setString(key + "\\displayName", lang::String(name.c_str()));
    }
    std::string displayName(const char* key)
    {
        return world.settings()->getString(lang::String(key) + "\\displayName", lang::String("(none)")).c_str();
    }
    std::vector<std::string> subkeys()
    {
        lang::StringArray keys;
        world.settings()->listSubkeys(keys);
        std::vector<std::string> out;
        for (int i = 0; i < keys.length(); ++i) {
            out.push_back(keys.get(i)->c_str());
            keys.get(i)->release();
        }
        return out;
    }
    // The chooser's answer to a command and the command it gives the canvas.
    std::pair<int, std::string> command(const char* name, int clickCount = 1)
    {
        lang::String c(name);
        lang::String out("");
        const int r = chooser->translateCommand(&c, &out, clickCount);
        return {r, out.c_str()};
    }
    // Keys as the canvas hands them: to the chooser, then its command.
    std::pair<int, std::string> key(int code)
    {
        if (chooser->keyDown(code) == sprite::DialogSprite::NOT_HANDLED)
            return {-1, ""};
        return command(chooser->getLastCommand().c_str());
    }
    void type(const std::string& text)
    {
        for (unsigned char c : text)
            chooser->keyDown(c);
    }
    static int state(sprite::DialogSprite* dialog, const char* name)
    {
        ButtonMixin* button = ButtonMixin::fromSprite(dialog->getSprite(name));
        return button ? button->getState() : -1;
    }
    static bool shown(sprite::DialogSprite* dialog, const char* name)
    {
        sprite::SpriteBase* sprite = dialog->getSprite(name);
        return sprite && sprite->isVisible();
    }
    std::string typed() { return prompt->getNameField()->getText().c_str(); }
    std::string rowText(int i) { return chooser->getRow(i)->getText().c_str(); }
    int rowRed(int i) { return chooser->getRow(i)->getColor().getRed(); }

    testsupport::GameWorld world;
    LoadedSprites sprites;
    ChoosePlayer* chooser = nullptr;
    ProfileInputPrompt* prompt = nullptr;
    GenericDialog* generic = nullptr;
    sprite::User* profileStore = nullptr;
};

TEST_F(ChoosePlayerTest, ANewProfileIsMadeAndTheSameNameInOtherLettersIsRefused)
{
    chooser->setSelectedProfile(lang::String(""));
    chooser->setVisible(true);
    // No profile yet: the prompt alone, without a cancel button, its OK
    // button in the middle.
    ASSERT_TRUE(chooser->isInputPromptVisible());
    EXPECT_FALSE(shown(chooser, "bkgSelectPlayer"));
    EXPECT_FALSE(shown(prompt, "cancelAddProfile"));
    EXPECT_EQ(320 / 2 - 100 / 2, prompt->getSprite("submitNewProfile")->left()) << "alone, in the middle";
    EXPECT_EQ(ButtonMixin::DISABLED, state(prompt, "submitNewProfile"));

    type("Ann");
    EXPECT_EQ(ButtonMixin::NORMAL, state(prompt, "submitNewProfile"));
    EXPECT_EQ(std::make_pair(1, std::string("profile:Ann")), key(13));
    EXPECT_EQ("Ann", displayName("ANN"));
    EXPECT_EQ("Ann", world.settingText("LASTPROFILE", ""));
    EXPECT_EQ("Ann", std::string(profileStore->getString(lang::String("displayName"), lang::String("")).c_str()));
    EXPECT_FALSE(chooser->isInputPromptVisible());
    EXPECT_EQ("Ann", std::string(chooser->getSelectedName().c_str()));

    // A second profile: now the prompt may be cancelled.
    EXPECT_EQ(3, command("createNewProfile").first);
    ASSERT_TRUE(chooser->isInputPromptVisible());
    EXPECT_TRUE(shown(prompt, "cancelAddProfile"));
    EXPECT_EQ(50, prompt->getSprite("submitNewProfile")->left()) << "back at its own place";
    EXPECT_FALSE(shown(chooser, "acceptProfile"));
    type("ann");
    EXPECT_EQ(3, key(13).first);
    EXPECT_TRUE(generic->isVisible());
    EXPECT_EQ("Taken", std::string(static_cast<sprite::NewFontSprite*>(generic->getSprite("messageText"))->getText().c_str()));
    EXPECT_TRUE(shown(generic, "DuplicateNameTitle"));
    EXPECT_FALSE(shown(generic, "DeletePlayerTitle"));
    EXPECT_TRUE(chooser->isInputPromptVisible()) << "the prompt keeps the name typed";
    EXPECT_EQ("ann", typed());
    EXPECT_EQ("Ann", displayName("ANN")) << "the profile is untouched";
    EXPECT_EQ(std::vector<std::string>{"ANN"}, subkeys());
    // Enter on the notice closes it and gives the canvas nothing to do.
    EXPECT_EQ(std::make_pair(0, std::string("")), key(13));
    EXPECT_FALSE(generic->isVisible());
    EXPECT_TRUE(chooser->isInputPromptVisible());
}

TEST_F(ChoosePlayerTest, ANewPlayerNeverTakesTheSavedGameAKeyOfTheSameNameStillHeld)
{
    // A key without a player's name that still holds a saved game (kept by
    // the list's clean-up) is not listed; a new player of that name starts
    // with nothing of it.
    lang::ByteArray old;
    old.setLength(3);
    world.settings()->setBytes(lang::String("CY\\LF\\0"), old);
    world.settings()->setBytes(lang::String("CY\\userdata\\0"), old);
    world.settings()->setBytes(lang::String("CY\\userdata"), old);
    chooser->setSelectedProfile(lang::String(""));
    chooser->setVisible(true);
    type("Cy");
    EXPECT_EQ(std::make_pair(1, std::string("profile:Cy")), key(13));
    EXPECT_EQ("Cy", displayName("CY"));
    lang::ByteArray left;
    EXPECT_FALSE(world.settings()->getBytesChunked(lang::String("CY\\LF"), left));
    EXPECT_FALSE(world.settings()->getBytesChunked(lang::String("CY\\userdata"), left));
    EXPECT_FALSE(world.settings()->getBytes(lang::String("CY\\userdata"), left));
    // Each new player has an id of their own.
    const lang::String first = world.settings()->getString(lang::String("CY\\profileId"), lang::String(""));
    EXPECT_FALSE(first.isEmpty());
    EXPECT_EQ(3, command("createNewProfile").first);
    type("Dee");
    EXPECT_EQ(1, key(13).first);
    EXPECT_FALSE(first.equals(world.settings()->getString(lang::String("DEE\\profileId"), lang::String(""))));
}

TEST_F(ChoosePlayerTest, FiveProfilesFillTheListAndKeysWithoutANameAreNeverCounted)
{
    for (const char* name : {"Eve", "ann", "Cid", "bob", "Dan"})
        addProfile(name);
    // Keys without a name: what an unfinished creation leaves goes, one that
    // holds a saved game stays; neither counts.
    world.settings()->setString(lang::String("ZZZ\\junk"), lang::String("x"));
    world.settings()->setString(lang::String("AAA\\userdata\\0"), lang::String("x"));
    chooser->setSelectedProfile(lang::String(""));
    chooser->setVisible(true);
    EXPECT_EQ(5, chooser->getProfileCount());
    EXPECT_EQ((std::vector<std::string>{"AAA", "ANN", "BOB", "CID", "DAN", "EVE"}), subkeys());
    EXPECT_EQ(ButtonMixin::DISABLED, state(chooser, "createNewProfile"));
    // Sorted by sub-key without regard to case; the first is chosen.
    const char* const sorted[] = {"ann", "bob", "Cid", "Dan", "Eve"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(sorted[i], rowText(i)) << i;
        EXPECT_TRUE(chooser->getRow(i)->isVisible()) << i;
        EXPECT_EQ(i == 0 ? ButtonMixin::DISABLED : ButtonMixin::NORMAL, state(chooser, ("Hilite" + std::to_string(i)).c_str()));
        EXPECT_EQ(i == 0 ? 40 : 10, rowRed(i)) << i;
    }
    EXPECT_EQ("ann", std::string(chooser->getSelectedName().c_str()));
    EXPECT_EQ(3, command("Hilite4").first);
    EXPECT_EQ("Eve", std::string(chooser->getSelectedName().c_str()));
    EXPECT_EQ(40, rowRed(4));
    EXPECT_EQ(10, rowRed(0));
    // The sixth row has no button; asking for it changes nothing.
    EXPECT_EQ(3, command("Hilite5").first);
    chooser->selectRow(5);
    chooser->refresh();
    EXPECT_EQ("Eve", std::string(chooser->getSelectedName().c_str()));
}

TEST_F(ChoosePlayerTest, DeletingTheChosenProfileChoosesTheFirstLeftAndForgetsItOnTheCanvas)
{
    for (const char* name : {"Ann", "Bob", "Cid"})
        addProfile(name);
    world.settings()->setBytesChunked(lang::String("Bob\\userdata"), lang::ByteArray());
    world.settings()->setString(lang::String("Bob\\LF\\0"), lang::String("LF = {}"));
    auto* canvas = new BareCanvas();
    canvas->setProfileName(lang::String("bob"));
    chooser->setSelectedProfile(lang::String("Bob"));
    chooser->setVisible(true);

    EXPECT_EQ(3, command("deleteProfile").first);
    EXPECT_TRUE(generic->isVisible());
    EXPECT_TRUE(shown(generic, "b1Delete"));
    EXPECT_TRUE(shown(generic, "b2Cancel"));
    EXPECT_FALSE(shown(generic, "b1OK"));
    EXPECT_TRUE(shown(generic, "DeletePlayerTitle"));
    EXPECT_EQ("Delete Bob?", std::string(static_cast<sprite::NewFontSprite*>(generic->getSprite("messageText"))->getText().c_str()));
    EXPECT_EQ(ButtonMixin::DISABLED, state(chooser, "acceptProfile"));
    EXPECT_FALSE(shown(chooser, "bkgSelectPlayer"));

    // Enter presses Delete.
    EXPECT_EQ(3, key(13).first);
    EXPECT_EQ((std::vector<std::string>{"ANN", "CID"}), subkeys()) << "the whole sub-key went";
    EXPECT_EQ("Ann", std::string(chooser->getSelectedName().c_str()));
    EXPECT_EQ("Ann", world.settingText("LASTPROFILE", ""));
    EXPECT_EQ("", std::string(canvas->getProfileName().c_str())) << "no save may bring the profile back";
    EXPECT_EQ("Ann", rowText(0));
    EXPECT_EQ("Cid", rowText(1));
    EXPECT_FALSE(chooser->getRow(2)->isVisible());
    EXPECT_FALSE(generic->isVisible());
    EXPECT_TRUE(shown(chooser, "bkgSelectPlayer"));
    canvas->release();
}

TEST_F(ChoosePlayerTest, DeletingTheLastProfileLeavesNothingChosenAndAsksForAName)
{
    addProfile("Ann");
    chooser->setSelectedProfile(lang::String("Ann"));
    chooser->setVisible(true);
    command("deleteProfile");
    EXPECT_EQ(3, key(13).first);
    EXPECT_EQ(0, chooser->getProfileCount());
    EXPECT_EQ("", world.settingText("LASTPROFILE", "(none)"));
    EXPECT_EQ(ButtonMixin::DISABLED, state(chooser, "acceptProfile"));
    EXPECT_EQ(ButtonMixin::DISABLED, state(chooser, "deleteProfile"));
    EXPECT_EQ(ButtonMixin::NORMAL, state(chooser, "createNewProfile"));
    EXPECT_TRUE(chooser->isInputPromptVisible());
    EXPECT_FALSE(shown(prompt, "cancelAddProfile"));
    // Esc still gives the cancel, which shows the empty list.
    EXPECT_EQ(3, key(27).first);
    EXPECT_FALSE(chooser->isInputPromptVisible());
    EXPECT_TRUE(shown(chooser, "createNewProfile"));
}

TEST_F(ChoosePlayerTest, AHighlightButtonChoosesItsRowAndADoubleClickPlaysAtOnce)
{
    addProfile("Ann");
    addProfile("Bob");
    chooser->setSelectedProfile(lang::String("Ann"));
    chooser->setVisible(true);
    EXPECT_EQ(3, command("Hilite1").first);
    EXPECT_EQ("Bob", std::string(chooser->getSelectedName().c_str()));
    EXPECT_TRUE(chooser->isVisible());
    EXPECT_EQ(std::make_pair(1, std::string("profile:Ann")), command("HILITE0", 2));
    EXPECT_FALSE(chooser->isVisible()) << "accepting closes the dialog";
    // Nothing chosen: accepting gives the command back to the canvas.
    chooser->setSelectedProfile(lang::String(""));
    world.settings()->deleteValue(lang::String("ANN"));
    world.settings()->deleteValue(lang::String("BOB"));
    chooser->setSelectedProfile(lang::String(""));
    EXPECT_EQ(0, command("acceptProfile").first);
}

TEST_F(ChoosePlayerTest, TheConfirmationsCancelButtonRestoresTheList)
{
    addProfile("Ann");
    chooser->setSelectedProfile(lang::String("Ann"));
    chooser->setVisible(true);
    command("deleteProfile");
    // A press on "b2Cancel" in screen coordinates: the chooser at (200, 150),
    // the confirmation at (20, 50) inside it, the button at (200, 146).
    auto* e = new window::Event(chooser, window::Event::MOUSE_DOWN, chooser);
    e->x = 200 + 20 + 200 + 10;
    e->y = 150 + 50 + 146 + 10;
    EXPECT_EQ(sprite::DialogSprite::COMMAND_READY, chooser->mouseDown(e));
    e->release();
    EXPECT_EQ("cancelAddProfile", std::string(chooser->getLastCommand().c_str()));
    EXPECT_FALSE(generic->isVisible());
    EXPECT_EQ(3, command(chooser->getLastCommand().c_str()).first);
    EXPECT_TRUE(shown(chooser, "bkgSelectPlayer"));
    EXPECT_EQ(ButtonMixin::NORMAL, state(chooser, "acceptProfile"));
    EXPECT_EQ("ANN", subkeys().at(0)) << "nothing deleted";
}

TEST_F(ChoosePlayerTest, ThePromptTakesEightNameCharactersAndNeedsMoreThanBlanks)
{
    struct Case {
        const char* keys;
        const char* text;
        bool submit;
    };
    const Case cases[] = {
        {"Annabelle", "Annabell", true},
        {"   ", "   ", false},
        {"a\\b/c:d", "abcd", true},
        {"A-b.c \xC4", "A-b.c \xC4", true},
        {"abc\b\b\b", "", false},
    };
    for (const Case& c : cases) {
        prompt->setMayCancel(true);
        prompt->setVisible(true);
        EXPECT_EQ("", typed()) << "every opening starts empty";
        EXPECT_EQ(ButtonMixin::DISABLED, state(prompt, "submitNewProfile"));
        for (const char* k = c.keys; *k; ++k)
            prompt->keyDown(static_cast<unsigned char>(*k));
        EXPECT_EQ(c.text, typed()) << c.keys;
        EXPECT_EQ(c.submit, state(prompt, "submitNewProfile") != ButtonMixin::DISABLED) << c.keys;
        EXPECT_EQ(c.submit ? 1 : 0, prompt->keyDown(13)) << c.keys;
    }
    // Esc cancels even with the cancel button hidden.
    prompt->setMayCancel(false);
    prompt->setVisible(true);
    EXPECT_EQ(1, prompt->keyDown(27));
    EXPECT_EQ("cancelAddProfile", std::string(prompt->getLastCommand().c_str()));
}

TEST_F(ChoosePlayerTest, TheConfirmationsKindsSetItsButtonsAndEnterPressesTheDefault)
{
    struct Case {
        int kind;
        std::vector<const char*> shownButtons;
        const char* title;
    };
    const Case cases[] = {
        {GenericDialog::KIND_DELETE, {"b1Delete", "b2Cancel"}, "DeletePlayerTitle"},
        {GenericDialog::KIND_NOTICE, {"b1OK"}, "DuplicateNameTitle"},
    };
    for (const Case& c : cases) {
        generic->open(c.kind, lang::String("m"), lang::String("yes"), lang::String("no"));
        generic->setVisible(true);
        for (const char* name : {"b1OK", "b1Delete", "b1Clear", "b2Cancel"}) {
            bool expected = false;
            for (const char* s : c.shownButtons)
                expected = expected || std::string(s) == name;
            EXPECT_EQ(expected, shown(generic, name)) << c.kind << " " << name;
            EXPECT_EQ(expected ? ButtonMixin::NORMAL : ButtonMixin::DISABLED, state(generic, name)) << name;
        }
        EXPECT_TRUE(shown(generic, c.title));
        EXPECT_EQ(1, generic->keyDown(13));
        EXPECT_EQ("yes", std::string(generic->getLastCommand().c_str()));
        EXPECT_FALSE(generic->isVisible());
    }
    // The second answer, and a button of neither kind, close it too.
    lang::String button("b2Cancel");
    lang::String out("");
    generic->setVisible(true);
    EXPECT_EQ(1, generic->filterCommand(&button, &out));
    EXPECT_EQ("no", std::string(out.c_str()));
    button = "other";
    generic->setVisible(true);
    EXPECT_EQ(0, generic->filterCommand(&button, &out));
    EXPECT_FALSE(generic->isVisible());
    // A kind of its own leaves Enter without effect.
    auto* fresh = new GenericDialog();
    fresh->open(2, lang::String("m"), lang::String("yes"), lang::String("no"));
    EXPECT_EQ(0, fresh->keyDown(13));
    fresh->release();
}

TEST_F(ChoosePlayerTest, KillingTheGameWhileItMakesOrDeletesAProfileNeverLeavesOneWithoutAName)
{
    addProfile("Ann");
    chooser->setSelectedProfile(lang::String("Ann"));
    chooser->setVisible(true);
    // The profile "New" made through the prompt and deleted through the
    // confirmation, as a player does with the keyboard.
    auto makeAndDelete = [this](const std::function<void()>& between) {
        command("createNewProfile");
        type("New");
        key(13);
        between();
        chooser->setSelectedProfile(lang::String("New"));
        command("deleteProfile");
        key(13);
    };
    if (testsupport::ChildProgram::role() == "player") {
        // The child makes and deletes the profile in the test's file, and
        // tells the test as each is made, until it is killed.
        platform::setRegistryFile((testsupport::ChildProgram::folder() / "registry.txt").c_str());
        world.settings()->open(lang::String(testsupport::GameWorld::kRegistryName));
        for (;;)
            makeAndDelete([] { testsupport::ChildProgram::report(); });
    }
    makeAndDelete([this] { EXPECT_EQ("New", displayName("NEW")); });
    EXPECT_EQ((std::vector<std::string>{"ANN"}), subkeys());

    const std::string file = platform::registryFile();
    // Each child is a program started afresh, a second or more under the
    // sanitizers on a slow machine.
    constexpr int kRounds = 80;
    std::mt19937 random(35);
    std::uniform_int_distribution<int> madeBeforeKill(2, 4);
    std::uniform_real_distribution<double> partOfARound(0, 1);
    int withNew = 0;
    for (int round = 0; round < kRounds; ++round) {
        // The kill lands at a random point of the round (a profile deleted
        // and the next made) that follows the child's report of a profile
        // made, as long as its last round took.
        testsupport::ChildProgram child("player", world.folder());
        ASSERT_TRUE(child.waitForReports(madeBeforeKill(random))) << "round " << round << ": " << child.output();
        std::this_thread::sleep_for(child.reportSpan() * partOfARound(random));
        child.kill();
        // The file read afresh: every key under the root is a profile with its name.
        platform::setRegistryFile(file.c_str());
        world.settings()->open(lang::String(testsupport::GameWorld::kRegistryName));
        for (const std::string& k : subkeys()) {
            ASSERT_NE("(none)", displayName(k.c_str())) << "after round " << round << ": " << k;
            withNew += k == "NEW" ? 1 : 0;
        }
    }
    // The kills came while the profile was there and while it was not.
    EXPECT_GT(withNew, 0);
    EXPECT_LT(withNew, kRounds);
}

} // namespace
} // namespace gametest
