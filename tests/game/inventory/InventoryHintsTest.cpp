// InventoryHintsTest.cpp: the hint paper frame by frame: a new hint drops the
// paper, refreshes the text and shows the banner; a hint added again
// previews; the player's clicks raise and lower it; the list stays in step
// with the record (an eighth hint, "None" on a hidden bar, a replace); the
// arrow stays on the paper's heading.
#include "sprites/images/AnimateSprite.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/game/support/InventoryFixture.h"
#include "windowing/window/Event.h"

#include <gtest/gtest.h>

namespace gametest {
namespace {

class InventoryHintsTest : public InventoryFixture {
protected:
    void frames(int n)
    {
        for (int i = 0; i < n; ++i)
            canvas->doFrame();
    }
    int state() { return inventory()->getHintState(); }
    sprite::SpriteBase* paper() { return canvasSprite("InventoryHintPaper"); }
    sprite::SpriteBase* banner() { return canvasSprite("NewTask"); }
    int arrowFrame() { return static_cast<sprite::AnimateSprite*>(canvasSprite("InventoryHintArrowButton"))->getFrame(); }
    std::string hintText()
    {
        return static_cast<sprite::NewFontSprite*>(canvasSprite("HintText"))->getText().c_str();
    }
    void add(int id) { inventory()->addHint(hintId(id), id); }
    static lang::String hintId(int id) { return lang::String(("STR_HINT_" + std::to_string(id)).c_str()); }
    // A press or a move on the middle of the paper, in screen coordinates.
    int pressPaper() { return withEvent(window::Event::MOUSE_DOWN, paper()->left() + 50, paper()->top() + 30); }
    void movePointer(int x, int y) { withEvent(window::Event::MOUSE_MOVE, x, y); }
    int withEvent(int id, int x, int y)
    {
        auto* e = new window::Event(canvas, id, canvas);
        e->x = x;
        e->y = y;
        const int result = id == window::Event::MOUSE_DOWN ? inventory()->mouseDown(e) : int(inventory()->mouseMove(e));
        e->release();
        return result;
    }
    // Adds hint 1 with the bar shown and lets the paper come to rest.
    void restingWithHint1()
    {
        add(1);
        frames(kLowerFrames + kRaiseFrames);
        ASSERT_EQ(Inventory::HINTS_RESTING, state());
        canvas->clearRecords();
    }
};

TEST_F(InventoryHintsTest, ANewHintWithTheBarShownDropsThePaperAndShowsTheBanner)
{
    startWithBar();
    EXPECT_FALSE(paper()->isVisible());
    add(1);
    EXPECT_EQ(Inventory::HINTS_LOWERING, state()) << "first the paper drops to rest, text in tow";
    frames(kLowerFrames - 1);
    EXPECT_EQ(Inventory::HINTS_LOWERING, state());
    EXPECT_TRUE(soundsPlayed().empty());
    frames(1);
    EXPECT_EQ(kPaperRestY, paper()->top());
    EXPECT_EQ(Inventory::HINTS_MOVING, state()) << "then the text is refreshed and settles";
    EXPECT_TRUE(paper()->isVisible());
    EXPECT_EQ("\n* Find the vase", hintText());
    EXPECT_TRUE(banner()->isVisible());
    EXPECT_EQ(std::vector<int>{Inventory::SOUND_NEW_TASK}, soundsPlayed());
    EXPECT_EQ(paper()->left() - banner()->width() / 2 - 5, banner()->left());
    EXPECT_EQ(kPaperRestY - banner()->height(), banner()->top());
    frames(kRaiseFrames - 1);
    EXPECT_EQ(Inventory::HINTS_MOVING, state());
    frames(1);
    EXPECT_EQ(Inventory::HINTS_RESTING, state());
    EXPECT_EQ(0, arrowFrame());
    EXPECT_EQ(kTextRestY, canvasSprite("HintText")->top());
    EXPECT_FALSE(inventory()->isPreviewActive());

    // The banner, from the frame it showed in: faded in over 10 frames (the
    // last one sends the wait) to fully drawn, held, faded out over 10,
    // hidden with the last.
    frames(10 - kRaiseFrames);
    EXPECT_EQ(255, banner()->getAlpha()) << "drawn whole, not faded";
    frames(kHoldFrames + 10 - 1 - 1);
    EXPECT_TRUE(banner()->isVisible());
    frames(1);
    EXPECT_FALSE(banner()->isVisible());
    EXPECT_EQ(std::vector<int>{Inventory::SOUND_NEW_TASK}, soundsPlayed());
    EXPECT_EQ(1, progress()->hint[0]);
}

TEST_F(InventoryHintsTest, AHintAddedAgainPreviewsWithoutABanner)
{
    startWithBar();
    restingWithHint1();
    add(1);
    EXPECT_EQ(Inventory::HINTS_MOVING, state()) << "the paper rises at once";
    EXPECT_TRUE(inventory()->isPreviewActive());
    frames(kRaiseFrames);
    EXPECT_EQ(Inventory::HINTS_RAISED, state());
    EXPECT_EQ(2, arrowFrame());
    // A click during the preview does nothing.
    EXPECT_NE(Inventory::COMMAND_READY, pressPaper());
    EXPECT_EQ(Inventory::HINTS_RAISED, state());
    frames(kHoldFrames - 1);
    EXPECT_EQ(Inventory::HINTS_RAISED, state()) << "held for the hold's frames";
    frames(1);
    EXPECT_EQ(Inventory::HINTS_LOWERING, state());
    frames(kLowerFrames);
    EXPECT_EQ(Inventory::HINTS_RESTING, state());
    EXPECT_FALSE(inventory()->isPreviewActive());
    EXPECT_EQ(-1, inventory()->getPreviewCounter());
    EXPECT_TRUE(soundsPlayed().empty()) << "no banner, no sound";
    EXPECT_EQ(1, inventory()->getHintCount());
}

TEST_F(InventoryHintsTest, ClicksRaiseAndLowerThePaperWithTheirSounds)
{
    startWithBar();
    restingWithHint1();
    ASSERT_TRUE(banner()->isVisible());
    EXPECT_EQ(Inventory::COMMAND_READY, pressPaper());
    EXPECT_EQ(Inventory::HINTS_MOVING, state());
    EXPECT_FALSE(banner()->isVisible()) << "raised to be read, the list takes the new task's banner away";
    EXPECT_EQ(Inventory::COMMAND_READY, pressPaper()) << "a click while it moves is swallowed";
    EXPECT_EQ(std::vector<int>{Inventory::SOUND_PAPER_RAISE}, soundsPlayed());
    frames(kRaiseFrames / 2);
    EXPECT_EQ(Inventory::HINTS_RAISED, state()) << "a player's raise takes half the frames";
    EXPECT_EQ(Inventory::COMMAND_READY, pressPaper());
    EXPECT_EQ((std::vector<int>{Inventory::SOUND_PAPER_RAISE, Inventory::SOUND_PAPER_LOWER}), soundsPlayed());
    frames(kLowerFrames);
    EXPECT_EQ(Inventory::HINTS_RESTING, state());
    EXPECT_EQ(0, arrowFrame());
    // A press beside the paper is not the paper's.
    EXPECT_EQ(Inventory::NOT_HANDLED, withEvent(window::Event::MOUSE_DOWN, 100, 200));
}

TEST_F(InventoryHintsTest, TheArrowFollowsThePointer)
{
    startWithBar();
    restingWithHint1();
    const int x = paper()->left() + 50;
    const int y = paper()->top() + 30;
    movePointer(x, y);
    EXPECT_EQ(1, arrowFrame());
    EXPECT_TRUE(inventory()->isHoveringItem());
    EXPECT_TRUE(inventory()->isOverHintPaper(x, y));
    movePointer(100, 100);
    EXPECT_EQ(0, arrowFrame());
    EXPECT_FALSE(inventory()->isHoveringItem());
    EXPECT_FALSE(inventory()->isOverHintPaper(100, 100));
    pressPaper();
    frames(kRaiseFrames / 2);
    movePointer(x, y);
    EXPECT_EQ(3, arrowFrame());
    movePointer(100, 100);
    EXPECT_EQ(2, arrowFrame());
}

TEST_F(InventoryHintsTest, TheHintTextAndATextTallerThanTheRoom)
{
    startWithBar();
    inventory()->setVisible(false);
    add(1);
    add(3);
    EXPECT_EQ("\n* Bring the box\n\n* Find the vase", hintText());
    EXPECT_STREQ("\n* Bring the box\n\n* Find the vase", inventory()->buildHintText().c_str());
    // Four lines of 10 pixels, margins 2 + 2: 14 more than the room of 20 + 10.
    EXPECT_EQ(kPaperRestY - kBarTop - 14, inventory()->getPaperRaisedY()) << "the raise counts the whole list";
    EXPECT_TRUE(inventory()->isPreviewPending());
    inventory()->setVisible(true);
    EXPECT_EQ(kPaperRestY - kBarTop - 14, inventory()->getPaperRaisedY()) << "the settle counts it";
    EXPECT_EQ(kTextRestY - kBarTop - 14, inventory()->getTextRaisedY());
    frames(kRaiseFrames);
    ASSERT_EQ(Inventory::HINTS_RESTING, state());
    EXPECT_EQ(kPaperRestY, paper()->top());
    pressPaper();
    frames(kRaiseFrames / 2);
    EXPECT_EQ(kPaperRestY - 14, paper()->top()) << "the player's raise shows the whole list";
    pressPaper();
    frames(kLowerFrames);
    ASSERT_EQ(Inventory::HINTS_RESTING, state());
    // A task added again previews at rest (its first line peeks out), and
    // the player's raise still shows the whole list.
    add(3);
    ASSERT_TRUE(inventory()->isPreviewActive());
    frames(kRaiseFrames);
    EXPECT_EQ(kPaperRestY, paper()->top());
    frames(kHoldFrames + kLowerFrames);
    ASSERT_EQ(Inventory::HINTS_RESTING, state());
    pressPaper();
    frames(kRaiseFrames / 2);
    EXPECT_EQ(kPaperRestY - 14, paper()->top()) << "the raise after an add shows the whole list";
}

TEST_F(InventoryHintsTest, ARaisedPaperGoesDownAtOnceForTheNextRoomButAPreviewRunsOn)
{
    startWithBar();
    restingWithHint1();
    pressPaper();
    frames(kRaiseFrames / 2);
    ASSERT_EQ(Inventory::HINTS_RAISED, state());
    inventory()->lowerHintPaper();
    EXPECT_EQ(Inventory::HINTS_RESTING, state());
    EXPECT_EQ(kPaperRestY, paper()->top());
    EXPECT_EQ(kTextRestY, canvasSprite("HintText")->top());
    EXPECT_EQ(0, arrowFrame());
    add(1);
    ASSERT_TRUE(inventory()->isPreviewActive());
    frames(kRaiseFrames);
    inventory()->lowerHintPaper();
    EXPECT_EQ(Inventory::HINTS_RAISED, state()) << "the preview lowers itself after its hold";
}

TEST_F(InventoryHintsTest, TheListStaysInStepWithTheRecord)
{
    startWithBar();
    inventory()->setVisible(false);
    // Seven ids fill the record; an eighth is refused by both.
    for (int id = 1; id <= 8; ++id)
        add(id);
    EXPECT_EQ(7, inventory()->getHintCount());
    EXPECT_EQ(7, progress()->hintCount());
    EXPECT_STREQ("STR_HINT_7", inventory()->getHintAt(0).c_str());

    // "None" on a hidden bar empties the list at once, as it empties the record.
    inventory()->setHint(lang::String("None"), -1);
    EXPECT_EQ(0, inventory()->getHintCount());
    EXPECT_EQ(0, progress()->hintCount());
    EXPECT_EQ("", hintText());
    EXPECT_FALSE(paper()->isVisible());

    // A replace takes the outgoing text out and the incoming one in.
    const struct {
        std::vector<int> listed;
        int out;
        int in;
        std::vector<std::string> after;
    } replaces[] = {
        {{1}, 1, 2, {"STR_HINT_2"}},
        {{3}, 1, 2, {"STR_HINT_2", "STR_HINT_3"}},
        {{1, 2}, 1, 2, {"STR_HINT_2"}},
        {{2, 3}, 1, 3, {"STR_HINT_3", "STR_HINT_2"}},
    };
    for (const auto& r : replaces) {
        inventory()->setHint(lang::String("None"), -1);
        for (int id : r.listed)
            add(id);
        inventory()->replaceHint(hintId(r.out), hintId(r.in), r.in, r.out);
        std::vector<std::string> list;
        for (int i = 0; i < inventory()->getHintCount(); ++i)
            list.push_back(inventory()->getHintAt(i).c_str());
        EXPECT_EQ(r.after, list);
        EXPECT_EQ(int(r.after.size()), progress()->hintCount());
        for (int j = 0; j < progress()->hintCount(); ++j)
            EXPECT_NE(r.out, progress()->hint[j]);
    }

    // Removing a text not listed leaves the list; the record drops the id.
    inventory()->removeHint(hintId(5), 2);
    EXPECT_EQ(2, inventory()->getHintCount());
    EXPECT_EQ(1, progress()->hintCount());
}

TEST_F(InventoryHintsTest, NoneWithTheBarShownClearsWhenThePaperHasDropped)
{
    startWithBar();
    restingWithHint1();
    inventory()->setHint(lang::String("None"), -1);
    EXPECT_EQ(0, progress()->hintCount());
    EXPECT_EQ(1, inventory()->getHintCount()) << "the list waits for the paper";
    frames(kLowerFrames);
    EXPECT_EQ(0, inventory()->getHintCount());
    EXPECT_FALSE(paper()->isVisible());
    EXPECT_EQ("", hintText());
}

TEST_F(InventoryHintsTest, HidingTheBarSettlesAMovingPaper)
{
    startWithBar();
    add(1);
    inventory()->setVisible(false);
    EXPECT_EQ(Inventory::HINTS_RESTING, state());
    EXPECT_EQ(0, arrowFrame());
    EXPECT_FALSE(paper()->isVisible());
    EXPECT_EQ("\n* Find the vase", hintText()) << "the cut drop's refresh is done at once";
    inventory()->setVisible(true);
    EXPECT_TRUE(banner()->isVisible()) << "the new task is announced when the bar shows";
    frames(kLowerFrames + kRaiseFrames);
    EXPECT_EQ(Inventory::HINTS_RESTING, state()) << "no command of the cut move comes back";


    // A preview cut short holds and lowers once the bar shows again.
    add(1);
    inventory()->setVisible(false);
    EXPECT_EQ(Inventory::HINTS_RAISED, state());
    inventory()->setVisible(true);
    frames(kHoldFrames + kLowerFrames);
    EXPECT_EQ(Inventory::HINTS_RESTING, state());
    EXPECT_FALSE(inventory()->isPreviewActive());
    EXPECT_EQ(Inventory::COMMAND_READY, pressPaper()) << "the paper answers clicks again";
    frames(kRaiseFrames);

    // The clearing drop cut short empties the list all the same.
    inventory()->setHint(lang::String("None"), -1);
    inventory()->setVisible(false);
    EXPECT_EQ(0, inventory()->getHintCount());
    inventory()->setVisible(true);
    EXPECT_FALSE(paper()->isVisible());

    // A task that takes another's place while a close-up hides the bar is
    // announced once the bar shows.
    add(1);
    frames(kLowerFrames + kRaiseFrames + 10 + kHoldFrames + 10);
    ASSERT_FALSE(banner()->isVisible());
    inventory()->setVisible(false);
    inventory()->replaceHint(hintId(1), hintId(2), 2, 1);
    inventory()->setVisible(true);
    EXPECT_TRUE(banner()->isVisible()) << "a task replaced out of sight raises the flag";
}

// The arrow stays where it is drawn on the paper's heading through a drop
// from below the bar (a chapter's new tasks after the last were cleared),
// also when the text, whose end of move sends the next move, is moved
// before the arrow in a frame (as the sample's sprites are listed).
TEST_F(InventoryHintsTest, TheArrowStaysOnThePapersHeadingThroughEveryMove)
{
    startWithBar();
    sprite::SpriteBase* arrow = canvasSprite("InventoryHintArrowButton");
    sprite::SpriteBase* text = canvasSprite("HintText");
    const int drop = arrow->top() - paper()->top();
    for (bool textFirst : {false, true}) {
        SCOPED_TRACE(textFirst);
        if (textFirst)
            canvas->addSpriteBehind("HintText", text, arrow);
        inventory()->setHint(hintId(1), 1);
        frames(kLowerFrames + kRaiseFrames);
        ASSERT_EQ(Inventory::HINTS_RESTING, state());
        inventory()->setHint(lang::String("None"), -1);
        frames(kLowerFrames);
        ASSERT_FALSE(paper()->isVisible());
        add(2);
        frames(kLowerFrames + kRaiseFrames);
        ASSERT_EQ(Inventory::HINTS_RESTING, state());
        EXPECT_EQ(drop, arrow->top() - paper()->top()) << "risen from below the bar";
        pressPaper();
        frames(kRaiseFrames);
        EXPECT_EQ(drop, arrow->top() - paper()->top()) << "raised";
        inventory()->lowerHintPaper();
        EXPECT_EQ(drop, arrow->top() - paper()->top()) << "down for the next room";
    }
}

} // namespace
} // namespace gametest
