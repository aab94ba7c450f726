// InventoryLuaTest.cpp: the methods of the Lua global `inventory`: what each
// forwards, the exact argument counts, the text ids that must be strings,
// the object checks and the values the methods give back.
#include "tests/game/support/InventoryFixture.h"

#include <gtest/gtest.h>

namespace gametest {
namespace {

class InventoryLuaTest : public InventoryFixture {
protected:
    // The error message of the Lua text, which must fail.
    std::string failure(const std::string& code)
    {
        const std::string message = lua(code);
        EXPECT_NE("", message) << code;
        return message;
    }
    bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
};

TEST_F(InventoryLuaTest, ItemsGivenAndTakenByTheScripts)
{
    startWithBar();
    ASSERT_EQ("", lua("LF.r = {inventory:hasItem('Vase')}\n"
                      "LF.a = inventory:addItemToList('Vase')\n"
                      "LF.r[2] = inventory:hasItem('Vase')\n"));
    EXPECT_EQ(1, progress()->itemOwned[18]);
    ASSERT_EQ("", lua("assert(LF.r[1] == false and LF.r[2] == true)\n"
                      "assert(LF.a == 'Vase', 'a method without a result gives its last argument')\n"
                      "inventory:removeItemFromList('Vase')\n"
                      "assert(inventory:hasItem('Vase') == false)\n"));
    EXPECT_EQ(0, progress()->itemOwned[18]);
    // removeItemFromList takes only a real string.
    inventory()->addItemToList(lang::String("Box"));
    ASSERT_EQ("", lua("inventory:removeItemFromList(20)"));
    EXPECT_TRUE(inventory()->hasItem(lang::String("Box")));
    ASSERT_EQ("", lua("inventory:enableItems(false) assert(inventory:showCaveMap(true) == true)"));
    EXPECT_FALSE(inventory()->areItemsEnabled());
    EXPECT_TRUE(item("CaveMap")->isVisible());
}

TEST_F(InventoryLuaTest, HintsFromTheScripts)
{
    startWithBar();
    inventory()->setVisible(false);
    ASSERT_EQ("", lua("inventory:setHint('STR_HINT_1', 1)"));
    EXPECT_EQ(1, inventory()->getHintCount());
    // A text id that is no string: nothing at all, and no error.
    for (const char* call : {"inventory:setHint(5, 7)", "inventory:addHint(5, 7)", "inventory:removeHint(1, 1)",
                             "inventory:replaceHint(1, 'STR_HINT_2', 2, 1)", "inventory:addHint(nil, 'x')"}) {
        ASSERT_EQ("", lua(call)) << call;
        EXPECT_EQ(1, inventory()->getHintCount()) << call;
        EXPECT_EQ(1, progress()->hint[0]) << call;
        EXPECT_EQ(-1, progress()->hint[1]) << call;
    }
    // The outgoing hint is replaced in the list as in the record.
    ASSERT_EQ("", lua("inventory:replaceHint('STR_HINT_1', 'STR_HINT_2', 2, 1)"));
    EXPECT_STREQ("STR_HINT_2", inventory()->getHintAt(0).c_str());
    EXPECT_EQ(1, inventory()->getHintCount());
    EXPECT_EQ(2, progress()->hint[0]);
    ASSERT_EQ("", lua("inventory:addHint('STR_HINT_3', 3) inventory:removeHint('STR_HINT_2', 2)"));
    EXPECT_STREQ("STR_HINT_3", inventory()->getHintAt(0).c_str());
    EXPECT_EQ(3, progress()->hint[0]);
    EXPECT_TRUE(contains(failure("inventory:addHint('STR_HINT_4', 'four')"), "number expected"));
}

TEST_F(InventoryLuaTest, TheArgumentRules)
{
    startWithBar();
    const struct {
        const char* call;
        const char* message;
    } cases[] = {
        {"inventory:enableItems()", "too many arguments"},
        {"inventory:enableItems(true, true)", "too many arguments"},
        {"inventory:hasItem()", "too many arguments"},
        {"inventory:setHint('STR_HINT_1')", "too many arguments"},
        {"inventory:replaceHint('a', 'b', 1)", "too many arguments"},
        {"inventory:setRoomItemTip('STR_ROOMTIP', 1)", "too many arguments"},
        {"inventory:setToOrigin(1)", "too many arguments"},
        {"inventory:showRoomItemTip()", "too many arguments"},
        {"inventory.hasItem({}, 'Vase')", "not a Sprite object"},
        {"inventory.hasItem(canvas, 'Vase')", "not an Inventory"},
        {"inventory.hasItem(5, 'Vase')", "table expected"},
        {"inventory:addItemToList({})", "string expected"},
        {"inventory:setRoomItemTip('STR_ROOMTIP', 'x', true)", "number expected"},
        {"inventory:sparkleInSprite('Box')", "string expected"},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(contains(failure(c.call), c.message)) << c.call << ": " << lua(c.call);
    // The position named is the one after the last expected value (the
    // colon form does not count the inventory).
    EXPECT_TRUE(contains(failure("inventory:enableItems()"), "#2"));
    EXPECT_TRUE(contains(failure("inventory.setHint(inventory, 'x')"), "#4"));
    // sparkleInSprite counts nothing; numbers pass as names.
    ASSERT_EQ("", lua("inventory:sparkleInSprite('Box', 'InventorySparkle', 1, 2)"));
    EXPECT_GT(inventory()->getSparkleCount(), 0);
    ASSERT_EQ("", lua("inventory:addItemToList(12)"));
    ASSERT_EQ("", lua("inventory:setRoomItemTip('STR_ROOMTIP', 4, false) inventory:showRoomItemTip(false)"));
    EXPECT_FALSE(canvasSprite("RoomItemsBalloon")->isVisible());
    ASSERT_EQ("", lua("inventory:setPosition(0, 0) inventory:setToOrigin() LF.top = inventory:y()"));
    EXPECT_EQ(kBarTop, inventory()->top());
}

} // namespace
} // namespace gametest
