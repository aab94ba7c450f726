// NestedManifestTest.cpp: containers built from the manifests they name:
// their parts, names and numbers, pictures loaded again by the nested
// loader, deferred decoding for hidden containers, and manifests that name
// themselves.
#include "tests/sprites/loader/ManifestFixture.h"

#include "sprites/containers/FancyContainer.h"
#include "sprites/dialogs/DialogSprite.h"
#include "sprites/images/ImageSprite.h"

namespace loadertest {
namespace {

// A dialog that keeps what its definition hands over.
TEST_F(ManifestTest, ADialogTakesItsNestedPartsNamesAndNumbers)
{
    world.data().picture("pic", 2, 2, 0xFF0000FFu);
    world.data().manifest("inner", "<images> x +pic\n<data> 3 4\n<sprites>\nA Sprite x 1 1\nB Sprite x 2 2\n\"\" Sprite x 3 3\n");
    ASSERT_TRUE(load("<sprites> D DialogSprite:+inner 10 10 100 100 0 1\n"));
    ASSERT_EQ(1, spriteCount());
    auto* dialog = static_cast<sprite::DialogSprite*>(named("D"));
    ASSERT_EQ(3, dialog->getChildCount());
    EXPECT_NE(nullptr, dialog->getSprite("A"));
    EXPECT_NE(nullptr, dialog->getSprite("B"));
    EXPECT_EQ(nullptr, named("A")) << "the parts' names stay the dialog's";
    // The parts keep manifest order, the last on top.
    for (int i = 0; i < 3; ++i) {
        sprite::SpriteBase* child = dialog->childAt(i);
        EXPECT_EQ(dialog, child->getParent());
        EXPECT_EQ(i + 1, child->left());
        child->release();
    }
    // Progress: the dialog and the nested image and three sprites.
    EXPECT_EQ(5, counted);
    EXPECT_EQ(5, canvas->getEntriesLoaded());
}

TEST_F(ManifestTest, ANestedManifestDoesNotSeeItsParentsImages)
{
    world.data().picture("pic", 2, 2, 0xFF0000FFu);
    world.data().picture("x", 7, 7, 0xFFFF0000u);
    world.data().manifest("inner", "<sprites> A Sprite x 0 0\n");
    ASSERT_TRUE(load("<images> x +pic\n<sprites> C FancyContainer:+inner 0 0 50 50\n"));
    auto* container = static_cast<sprite::FancyContainer*>(named("C"));
    ASSERT_EQ(1, container->getChildCount());
    sprite::SpriteBase* child = container->childAt(0);
    window::ImageBase* picture = static_cast<sprite::ImageSprite*>(child)->getImage();
    child->release();
    ASSERT_NE(nullptr, picture);
    // Loaded again as the archive item of its word, not the parent's "+pic".
    EXPECT_STREQ("+x", picture->getName().c_str());
    EXPECT_EQ(7, picture->getWidth());
}

TEST_F(ManifestTest, AHiddenContainersPicturesWaitUntilItIsShown)
{
    world.data().picture("pic", 2, 2, 0xFF0000FFu);
    world.data().manifest("inner", "<sprites> A Sprite pic 0 0\n");
    ASSERT_TRUE(load("<sprites> Shown DialogSprite:+inner 0 0 10 10 0 1\nHidden DialogSprite:+inner 0 0 10 10 0 0\n"));
    auto pictureOf = [this](const char* name) {
        auto* dialog = static_cast<sprite::DialogSprite*>(named(name));
        return static_cast<sprite::ImageSprite*>(dialog->getSprite("A"))->getImage();
    };
    EXPECT_TRUE(pictureOf("Shown")->hasPixels());
    EXPECT_FALSE(pictureOf("Hidden")->hasPixels());
    EXPECT_EQ(2, pictureOf("Hidden")->getWidth()) << "its size is known";
    EXPECT_EQ(0, window::ImageBase::decodeDeferral);
}

TEST_F(ManifestTest, AManifestThatNamesItselfLeavesTheContainerEmpty)
{
    world.data().manifest("a", "<sprites> InA FancyContainer:+b 0 0 1 1\nLeafA Sprite 0 0\n");
    world.data().manifest("b", "<sprites> InB FancyContainer:+a 0 0 1 1\nLeafB Sprite 0 0\n");
    ASSERT_TRUE(load("<sprites> Self FancyContainer:+m 0 0 1 1\nTop FancyContainer:+a 0 0 1 1\nAfter Sprite 0 0\n"));
    ASSERT_EQ(3, spriteCount());
    EXPECT_EQ(0, static_cast<sprite::FancyContainer*>(named("Self"))->getChildCount());
    // +a holds +b, whose own +a is refused: the chain ends there.
    auto* top = static_cast<sprite::FancyContainer*>(named("Top"));
    ASSERT_EQ(2, top->getChildCount());
    auto* inA = static_cast<sprite::FancyContainer*>(top->childAt(0));
    ASSERT_EQ(2, inA->getChildCount());
    auto* inB = static_cast<sprite::FancyContainer*>(inA->childAt(0));
    EXPECT_EQ(0, inB->getChildCount());
    inB->release();
    inA->release();
    EXPECT_STREQ("After", spriteAt(2)->getName().c_str()) << "the outer manifest read on";
    // Counting refuses the same nesting: Self, Top, InA, LeafA, InB, LeafB, After.
    EXPECT_EQ(7, counted);
    EXPECT_EQ(7, canvas->getEntriesLoaded());
}

TEST_F(ManifestTest, ANestedManifestThatFailsLeavesTheContainerEmpty)
{
    ASSERT_TRUE(load("<sprites> C FancyContainer:missing.txt 0 0 1 1\nD Sprite 0 0\n"));
    ASSERT_EQ(2, spriteCount());
    EXPECT_EQ(0, static_cast<sprite::FancyContainer*>(named("C"))->getChildCount());
    EXPECT_EQ(2u, world.boxes("Error").size()) << "once for each pass";
}

} // namespace
} // namespace loadertest
