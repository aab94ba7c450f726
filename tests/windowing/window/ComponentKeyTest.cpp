// Keyboard input through the window procedure: key codes, character events,
// Ctrl translation, auto-repeat, and key-down bubbling to the parents.
#include "WindowTestSupport.h"

using windowtest::SeenEvent;

namespace {

class ComponentKeyTest : public windowtest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        openFrameWithCanvas();
    }

    void tap(UINT vk)
    {
        platform::events::key(vk, true);
        platform::events::key(vk, false);
        windowtest::pump();
    }

    std::vector<SeenEvent> withHook(const char* hook) const
    {
        std::vector<SeenEvent> out;
        for (const SeenEvent& e : canvas->events)
            if (e.hook == hook)
                out.push_back(e);
        return out;
    }
};

TEST_F(ComponentKeyTest, DeleteGoesDownAs1046AndUpAs46)
{
    tap(VK_DELETE);
    std::vector<SeenEvent> downs = withHook("keyDown");
    std::vector<SeenEvent> ups = withHook("keyUp");
    ASSERT_EQ(downs.size(), 1u);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(downs[0].id, window::Event::KEY_DOWN);
    EXPECT_EQ(downs[0].key, 1046);
    EXPECT_EQ(downs[0].clickCount, 1);
    // A key-down made from the key message carries the key and its raw data.
    EXPECT_EQ(downs[0].x, VK_DELETE);
    EXPECT_EQ(DWORD(downs[0].y) & 0xFFFFu, 1u);
    EXPECT_EQ((DWORD(downs[0].y) >> 16) & 0xFFu, 0x53u);
    EXPECT_EQ(ups[0].id, window::Event::KEY_UP);
    EXPECT_EQ(ups[0].key, 46);
    EXPECT_EQ(ups[0].modifiers, 0);
    EXPECT_EQ(ups[0].x, 0);
}

TEST_F(ComponentKeyTest, ArrowsAndFunctionKeysAre1000PlusTheirKeyCodeBothWays)
{
    tap(VK_LEFT);
    tap(VK_DOWN);
    tap(VK_F1);
    tap(VK_F7);
    tap(VK_F15);
    std::vector<SeenEvent> downs = withHook("keyDown");
    std::vector<SeenEvent> ups = withHook("keyUp");
    ASSERT_EQ(downs.size(), 5u);
    ASSERT_EQ(ups.size(), 5u);
    const int expected[] = {1037, 1040, 1112, 1118, 1126};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(downs[i].key, expected[i]);
        EXPECT_EQ(ups[i].key, expected[i]);
    }
}

TEST_F(ComponentKeyTest, ALetterArrivesOnceAsItsCharacter)
{
    tap('A');
    std::vector<SeenEvent> downs = withHook("keyDown");
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].key, 97);
    EXPECT_EQ(downs[0].clickCount, 1);
    EXPECT_EQ(downs[0].modifiers, 0);
    EXPECT_EQ(downs[0].x, 0);
    EXPECT_EQ(downs[0].y, 0);
    // Its key-up is the plain key code.
    ASSERT_EQ(withHook("keyUp").size(), 1u);
    EXPECT_EQ(withHook("keyUp")[0].key, 'A');
}

TEST_F(ComponentKeyTest, ShiftAloneIsItsKeyCodeAndMarksTheCharactersTypedWithIt)
{
    platform::events::key(VK_SHIFT, true);
    platform::events::key('A', true);
    platform::events::key('A', false);
    platform::events::key(VK_SHIFT, false);
    windowtest::pump();
    std::vector<SeenEvent> downs = withHook("keyDown");
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].key, VK_SHIFT);
    EXPECT_EQ(downs[0].modifiers, 2);
    EXPECT_EQ(downs[1].key, 'A');
    EXPECT_EQ(downs[1].modifiers, 2);
}

TEST_F(ComponentKeyTest, EscapeEnterTabAndBackspaceArriveAsCharacters)
{
    tap(VK_ESCAPE);
    tap(VK_RETURN);
    tap(VK_TAB);
    tap(VK_BACK);
    std::vector<SeenEvent> downs = withHook("keyDown");
    ASSERT_EQ(downs.size(), 4u);
    EXPECT_EQ(downs[0].key, 27);
    EXPECT_EQ(downs[1].key, 13);
    EXPECT_EQ(downs[2].key, 9);
    EXPECT_EQ(downs[3].key, 8);
    for (const SeenEvent& e : downs)
        EXPECT_EQ(e.x, 0); // from the character message
}

TEST_F(ComponentKeyTest, CtrlWithALetterGivesTheLetterOnceAndDropsTheControlCharacter)
{
    platform::events::key(VK_CONTROL, true);
    tap('C');
    tap('A');
    platform::events::key(VK_CONTROL, false);
    windowtest::pump();
    std::vector<SeenEvent> downs = withHook("keyDown");
    // Ctrl itself (no character), then c and a; the characters 3 and 1 that
    // translation makes for them are not reported.
    ASSERT_EQ(downs.size(), 3u);
    EXPECT_EQ(downs[0].key, VK_CONTROL);
    EXPECT_EQ(downs[1].key, 99);
    EXPECT_EQ(downs[1].modifiers, 1);
    EXPECT_EQ(downs[1].x, 'C');
    EXPECT_EQ(downs[2].key, 97);
    EXPECT_EQ(downs[2].modifiers, 1);
}

TEST_F(ComponentKeyTest, CtrlWithAKeyThatGivesNoCharacterReportsTheKeyCode)
{
    platform::events::key(VK_CONTROL, true);
    tap('5');
    tap(VK_HOME);
    platform::events::key(VK_CONTROL, false);
    windowtest::pump();
    std::vector<SeenEvent> downs = withHook("keyDown");
    ASSERT_EQ(downs.size(), 3u);
    // Ctrl+5 still gives '5' with Ctrl taken out of the state.
    EXPECT_EQ(downs[1].key, '5');
    EXPECT_EQ(downs[2].key, VK_HOME);
    EXPECT_EQ(downs[2].modifiers, 1);
}

TEST_F(ComponentKeyTest, HoldingAKeyRepeatsWithClickCountTwo)
{
    platform::events::key('X', true);
    platform::events::key('X', true);
    platform::events::key('X', true);
    platform::events::key(VK_LEFT, true);
    platform::events::key(VK_LEFT, true);
    platform::events::key('X', false);
    platform::events::key(VK_LEFT, false);
    windowtest::pump();
    std::vector<SeenEvent> downs = withHook("keyDown");
    ASSERT_EQ(downs.size(), 5u);
    EXPECT_EQ(downs[0].key, 'x');
    EXPECT_EQ(downs[0].clickCount, 1);
    EXPECT_EQ(downs[1].clickCount, 2);
    EXPECT_EQ(downs[2].clickCount, 2);
    EXPECT_EQ(downs[3].key, 1037);
    EXPECT_EQ(downs[3].clickCount, 1);
    EXPECT_EQ(downs[4].clickCount, 2);
}

TEST_F(ComponentKeyTest, KeyDownsBubbleToTheParentOnlyWhenUnhandledAndKeyUpsNever)
{
    canvas->handlesKeys = false;
    tap(VK_F2);
    ASSERT_EQ(frame->keyEvents.size(), 1u);
    EXPECT_EQ(frame->keyEvents[0].key, 1113);
    // The parent sees the very event the child was offered.
    EXPECT_EQ(frame->keyEvents[0].target, static_cast<lang::Object*>(canvas));

    canvas->handlesKeys = true;
    tap(VK_F3);
    EXPECT_EQ(frame->keyEvents.size(), 1u);
}

} // namespace
