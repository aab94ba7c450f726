// The process-wide objects of the window layer: the cursors, the paint lock,
// the lost-device flag, and events as records.
#include "WindowTestSupport.h"

#include "windowing/window/Cursor.h"
#include "windowing/window/HandCursorResource.h"

namespace {

TEST(WindowGlobalsTest, TheHandCursorIsTheProgramsResourceAndTheMissingResourcesAreNull)
{
    using window::Cursor;
    ASSERT_NE(Cursor::handCursor, nullptr);
    const platform::CursorShape* hand = platform::cursorShape(Cursor::handCursor->getHandle());
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(hand->systemId, 0);
    EXPECT_EQ(hand->width, 32);
    EXPECT_EQ(hand->height, 32);
    EXPECT_EQ(hand->hotX, 4);
    EXPECT_EQ(hand->hotY, 1);
    // The hot spot is on the fingertip: a visible pixel.
    EXPECT_NE(hand->pixels[1 * 32 + 4] >> 24, 0u);
    EXPECT_EQ(hand->pixels[0] >> 24, 0u);

    EXPECT_EQ(Cursor::spareCursor->getHandle(), nullptr);
    EXPECT_EQ(Cursor::openHandCursor->getHandle(), nullptr);
    EXPECT_EQ(Cursor::blankCursor->getHandle(), nullptr);
    EXPECT_EQ(Cursor::crossCursor->getHandle(), LoadCursorA(nullptr, IDC_CROSS));
    EXPECT_EQ(Cursor::waitCursor->getHandle(), LoadCursorA(nullptr, IDC_WAIT));
    EXPECT_EQ(Cursor::textCursor->getHandle(), LoadCursorA(nullptr, IDC_IBEAM));
    EXPECT_EQ(Cursor::normalCursor->getHandle(), LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_NE(Cursor::normalCursor->getHandle(), nullptr);
    EXPECT_TRUE(Cursor::waitCursor->isInstanceOf("Cursor"));
    EXPECT_STREQ(Cursor::waitCursor->getClassName(), "Cursor");
}

TEST(EventTest, AnEventHoldsItsTargetAndArgumentUntilItIsReleased)
{
    auto* target = new lang::Object();
    auto* arg = new lang::Object();
    auto* e = new window::Event(target, window::Event::ACTION, arg);
    EXPECT_EQ(target->getRefCount(), 2);
    EXPECT_EQ(arg->getRefCount(), 2);
    EXPECT_EQ(e->id, 7);
    EXPECT_EQ(e->x, 0);
    EXPECT_EQ(e->y, 0);
    EXPECT_EQ(e->modifiers, 0);
    EXPECT_EQ(e->key, 0);
    EXPECT_EQ(e->clickCount, 0);
    EXPECT_EQ(e->when, 0u);
    EXPECT_TRUE(e->isInstanceOf("Event"));
    EXPECT_TRUE(e->isInstanceOf("Object"));
    EXPECT_STREQ(e->getClassName(), "Event");

    // A receiver that keeps the event keeps both alive.
    e->addRef();
    target->release();
    arg->release();
    e->release();
    EXPECT_EQ(target->getRefCount(), 1);
    e->release();
}

} // namespace
