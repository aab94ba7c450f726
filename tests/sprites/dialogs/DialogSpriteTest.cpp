// DialogSpriteTest.cpp: the dialog's named parts, its set-up from a
// definition, its own hit test and coordinates, freeing the pictures of a
// hidden dialog, and its locks.
#include "tests/sprites/containers/ContainerTestSupport.h"
#include "tests/sprites/images/TestPictures.h"
#include "tests/support/TempDir.h"

#include "core/lang/Class.h"
#include "core/util/Hashtable.h"
#include "sprites/containers/SpriteDefinition.h"
#include "sprites/images/ImageSprite.h"

#include <gtest/gtest.h>

namespace {

using spritetest::CountingSprite;
using spritetest::OpenDialog;
using sprite::DialogSprite;
using sprite::SpriteBase;

// A definition that hands over a name table, as the manifest loader does.
class NamesDefinition : public sprite::SpriteDefinition {
public:
    explicit NamesDefinition(util::Hashtable* names) : m_pNames(names) {}
    util::Hashtable* getNames() override { return m_pNames; }
    lang::IntArray* getNumbers() override { return nullptr; }
    util::Hashtable* getImages() override { return nullptr; }

private:
    util::Hashtable* m_pNames;
};

class DialogSpriteTest : public ::testing::Test {
protected:
    DialogSpriteTest() { dialog = new OpenDialog(); }
    ~DialogSpriteTest() override
    {
        for (SpriteBase* s : made)
            s->release();
        dialog->release();
    }

    CountingSprite* sprite(int x = 5, int y = 5, int w = 10, int h = 10)
    {
        CountingSprite* s = new CountingSprite(x, y, w, h);
        made.push_back(s);
        return s;
    }

    std::vector<SpriteBase*> order()
    {
        std::vector<SpriteBase*> out;
        for (int i = 0;; ++i) {
            SpriteBase* s = dialog->childAt(i);
            if (!s)
                break;
            out.push_back(s);
            s->release();
        }
        return out;
    }

    OpenDialog* dialog;
    std::vector<SpriteBase*> made;
};

TEST_F(DialogSpriteTest, PartsAreFoundByTheNameTheyWereAddedUnder)
{
    EXPECT_EQ(nullptr, dialog->getSprite("Ok"));
    CountingSprite* ok = sprite();
    CountingSprite* cancel = sprite();
    CountingSprite* unnamed = sprite();
    EXPECT_TRUE(dialog->addChild("Ok", ok));
    EXPECT_TRUE(dialog->addChild("Cancel", cancel));
    EXPECT_TRUE(dialog->addChild("", unnamed));
    EXPECT_EQ(ok, dialog->getSprite("Ok"));
    EXPECT_EQ(cancel, dialog->getSprite("Cancel"));
    EXPECT_STREQ("Ok", ok->getName().c_str());
    EXPECT_STREQ("", unnamed->getName().c_str());
    EXPECT_EQ(nullptr, dialog->getSprite(""));
    EXPECT_EQ(nullptr, dialog->getSprite(nullptr));
    EXPECT_EQ(nullptr, dialog->getSprite("ok"));
    EXPECT_EQ(nullptr, dialog->getSprite("Never"));
    EXPECT_EQ((std::vector<SpriteBase*>{ok, cancel, unnamed}), order());
    EXPECT_EQ(2, dialog->getSpriteTable()->size());

    // Removing forgets the name at once; the sprite leaves the list at the tick.
    dialog->removeChild(cancel);
    EXPECT_EQ(nullptr, dialog->getSprite("Cancel"));
    EXPECT_FALSE(cancel->isVisible());
    dialog->tick(1, nullptr, nullptr);
    EXPECT_EQ((std::vector<SpriteBase*>{ok, unnamed}), order());
    EXPECT_EQ(1, cancel->getRefCount());
}

TEST_F(DialogSpriteTest, AddingAgainRenamesMovesAndHidesTheChild)
{
    CountingSprite* a = sprite();
    CountingSprite* b = sprite();
    CountingSprite* c = sprite();
    dialog->addChild("A", a);
    dialog->addChild("B", b);
    // Added again under a new name, just under b: the old name goes, and a
    // visible child that was in the list is hidden.
    EXPECT_TRUE(dialog->addChildBefore("First", b, a));
    EXPECT_EQ((std::vector<SpriteBase*>{b, a}), order());
    EXPECT_EQ(nullptr, dialog->getSprite("B"));
    EXPECT_EQ(b, dialog->getSprite("First"));
    EXPECT_FALSE(b->isVisible());
    EXPECT_FALSE(dialog->isRemovalPending(b));
    // A sprite that was not a child stays visible.
    EXPECT_TRUE(dialog->addChildAfter("C", c, b));
    EXPECT_EQ((std::vector<SpriteBase*>{b, c, a}), order());
    EXPECT_TRUE(c->isVisible());
    dialog->tick(1, nullptr, nullptr);
    EXPECT_EQ(3, dialog->getChildCount());
    EXPECT_FALSE(dialog->addChild("Self", dialog));
    EXPECT_FALSE(dialog->addChild("Null", nullptr));
}

TEST_F(DialogSpriteTest, RemovingAChildLeavesAnotherSpritesEntryUnderItsName)
{
    CountingSprite* a = sprite();
    CountingSprite* b = sprite();
    dialog->addChild("Same", a);
    // Registered directly under the name that a still carries.
    dialog->addNamedSprite("Same", b);
    dialog->bringToFront(b);
    EXPECT_EQ(b, dialog->getSprite("Same"));
    dialog->removeChild(a);
    EXPECT_EQ(b, dialog->getSprite("Same"));
    dialog->removeChild(b);
    EXPECT_EQ(a, dialog->getSprite("Same"));
}

TEST_F(DialogSpriteTest, TheDefinitionsNameTableIsTakenWithAReference)
{
    util::Hashtable* names = new util::Hashtable();
    names->setStringKeys(true);
    CountingSprite* hero = sprite();
    names->put(lang::String("Hero"), hero);
    // Through the container's slot, as the loader calls it.
    NamesDefinition definition(names);
    sprite::FancyContainer* container = dialog;
    container->setDefinition(&definition);
    EXPECT_EQ(2, names->getRefCount());
    EXPECT_EQ(hero, dialog->getSprite("Hero"));
    // The table is the dialog's: later names go into it.
    CountingSprite* more = sprite();
    dialog->addChild("More", more);
    lang::String key("More");
    EXPECT_EQ(more, names->get(&key));
    // A definition without names leaves the dialog without a table; a plain
    // container takes nothing from a definition.
    NamesDefinition empty(nullptr);
    container->setDefinition(&empty);
    EXPECT_EQ(nullptr, dialog->getSprite("Hero"));
    spritetest::OpenContainer* plain = new spritetest::OpenContainer(10, 10);
    plain->setDefinition(&definition);
    plain->release();
    EXPECT_EQ(1, names->getRefCount());
    names->release();
}

TEST_F(DialogSpriteTest, ADialogDefinedHiddenFreesItsChildrensPicturesAtOnce)
{
    CountingSprite* a = sprite();
    dialog->bringToFront(a);
    dialog->setVisible(false);
    util::Hashtable* names = new util::Hashtable();
    NamesDefinition definition(names);
    sprite::FancyContainer* container = dialog;
    container->setDefinition(&definition);
    names->release();
    EXPECT_EQ(1, a->unloads);
    EXPECT_FALSE(dialog->isShown());
    // Shown again, the pictures come back in the next tick.
    dialog->setVisible(true);
    EXPECT_EQ(0, a->loads);
    dialog->tick(1, nullptr, nullptr);
    EXPECT_EQ(1, a->loads);
    EXPECT_TRUE(dialog->isShown());
}

TEST_F(DialogSpriteTest, HidingFreesThePicturesOfEveryPartWithinATick)
{
    CountingSprite* a = sprite();
    CountingSprite* off = sprite();
    dialog->addChild("a", a);
    dialog->addChild("off", off);
    off->setVisible(false);
    dialog->tick(1, nullptr, nullptr);
    EXPECT_EQ(0, a->unloads);

    dialog->setVisible(false);
    EXPECT_TRUE(dialog->isShown());
    dialog->tick(2, nullptr, nullptr);
    EXPECT_FALSE(dialog->isShown());
    EXPECT_EQ(1, a->unloads);
    EXPECT_EQ(1, off->unloads);
    dialog->tick(3, nullptr, nullptr);
    EXPECT_EQ(1, a->unloads);

    dialog->setVisible(true);
    dialog->tick(4, nullptr, nullptr);
    EXPECT_TRUE(dialog->isShown());
    EXPECT_EQ(1, a->loads);
    EXPECT_EQ(0, off->loads);

    // Reloading leaves the shown state alone.
    dialog->onHidden();
    dialog->reloadChildImages();
    EXPECT_FALSE(dialog->isShown());
    EXPECT_EQ(2, a->loads);
}

class DialogPicturesTest : public ::testing::Test {
protected:
    testsupport::TempDir m_dir;
};

TEST_F(DialogPicturesTest, AHiddenDialogsImageSpritesGiveBackTheirPixels)
{
    std::string path = m_dir.file("p.png");
    ASSERT_TRUE(spritetest::writePng(path, 4, 2, [](int, int) { return 0xFF336699u; }));
    window::ImageWinDX* picture = new window::ImageWinDX(lang::String(path.c_str()));
    ASSERT_TRUE(picture->hasPixels());
    sprite::ImageSprite* image = new sprite::ImageSprite();
    image->setImage(picture);
    DialogSprite* dialog = new DialogSprite(false);
    dialog->addChild("Picture", image);

    dialog->setVisible(false);
    dialog->tick(1, nullptr, nullptr);
    EXPECT_FALSE(picture->hasPixels());
    dialog->setVisible(true);
    dialog->tick(2, nullptr, nullptr);
    EXPECT_TRUE(picture->hasPixels());

    dialog->release();
    image->release();
    picture->release();
}

TEST_F(DialogSpriteTest, ConfigureReadsPlaceSizeModalVisibleAndDraggable)
{
    lang::IntArray* params = spritetest::numbers({100, 50, 300, 200});
    EXPECT_TRUE(dialog->configure(nullptr, params));
    params->release();
    EXPECT_EQ(100, dialog->left());
    EXPECT_EQ(50, dialog->top());
    EXPECT_EQ(300, dialog->width());
    EXPECT_EQ(200, dialog->height());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isDraggable());

    params = spritetest::numbers({0, 0, 10, 10, 1, 0, 5});
    dialog->configure(nullptr, params);
    params->release();
    EXPECT_TRUE(dialog->isModal());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(dialog->isDraggable());

    // Six numbers: draggable needs the seventh; modal and visible only for 1.
    params = spritetest::numbers({0, 0, 10, 10, 2, 1});
    dialog->configure(nullptr, params);
    params->release();
    EXPECT_FALSE(dialog->isModal());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->isDraggable());
}

TEST_F(DialogSpriteTest, TheMetaclassMakesAShownNonModalDialog)
{
    lang::Class* metaclass = lang::Class::forName(lang::String("DialogSprite"));
    ASSERT_NE(nullptr, metaclass);
    lang::Object* instance = metaclass->newInstance();
    ASSERT_TRUE(instance->isInstanceOf("DialogSprite"));
    ASSERT_TRUE(instance->isInstanceOf("FancyContainer"));
    DialogSprite* d = static_cast<DialogSprite*>(instance);
    EXPECT_FALSE(d->isModal());
    EXPECT_TRUE(d->isShown());
    EXPECT_TRUE(d->getOwnRectHitTest());
    EXPECT_TRUE(d->isInteractive());
    EXPECT_EQ(nullptr, d->getSpriteTable());
    SpriteBase* copy = d->clone();
    EXPECT_STREQ("BoundsSprite", copy->getClassName());
    copy->release();
    instance->release();
}

TEST_F(DialogSpriteTest, PointsBecomeDialogCoordinatesFromTheTopLeftCorner)
{
    lang::IntArray* params = spritetest::numbers({100, 50, 300, 200});
    dialog->configure(nullptr, params);
    params->release();
    int x = 110;
    int y = 70;
    dialog->toLocal(x, y);
    EXPECT_EQ(10, x);
    EXPECT_EQ(20, y);
    // Flipped horizontally, the right edge is the dialog's left.
    dialog->setFlipType(SpriteBase::FLIP_HORIZONTAL);
    x = 390;
    y = 70;
    dialog->toLocal(x, y);
    EXPECT_EQ(10, x);
    EXPECT_EQ(20, y);
}

TEST_F(DialogSpriteTest, WithoutItsOwnBoxTheVisibleChildrenDecideTheHitTest)
{
    lang::IntArray* params = spritetest::numbers({100, 50, 300, 200});
    dialog->configure(nullptr, params);
    params->release();
    CountingSprite* part = sprite(15, 15, 10, 10);
    dialog->addChild("part", part);
    EXPECT_TRUE(dialog->hittest(290, 200));
    dialog->setOwnRectHitTest(false);
    EXPECT_FALSE(dialog->hittest(290, 200));
    // The part covers 10..19 of the dialog, that is 110..119 on the screen.
    EXPECT_TRUE(dialog->hittest(110, 60));
    EXPECT_TRUE(dialog->hittest(119, 69));
    EXPECT_FALSE(dialog->hittest(120, 60));
    part->setVisible(false);
    EXPECT_FALSE(dialog->hittest(110, 60));
}

TEST_F(DialogSpriteTest, ChangesTakeTheDialogsMonitorThenTheListsWalksTheList)
{
    CountingSprite* a = sprite();
    CountingSprite* b = sprite();
    dialog->addChild("a", a);
    // Adding and removing hold the dialog's own monitor...
    EXPECT_TRUE(spritetest::waitsForMonitor(dialog, [&] { dialog->addChild("b", b); }));
    EXPECT_TRUE(spritetest::waitsForMonitor(dialog, [&] { dialog->removeChild(a); }));
    EXPECT_TRUE(spritetest::waitsForMonitor(dialog, [&] { dialog->addChildAfter("a", a, b); }));
    // ...and then the list's, in that order.
    util::Vector* list = &dialog->list();
    EXPECT_TRUE(spritetest::waitsForMonitor(list, [&] { dialog->addChildBefore("a", a, b); }));
    // The walks take the list's monitor.
    window::Event* e = new window::Event(dialog, window::Event::MOUSE_MOVE, new lang::String("x"));
    e->arg->release();
    lang::String out;
    dialog->setOwnRectHitTest(false);
    EXPECT_TRUE(spritetest::waitsForMonitor(list, [&] { dialog->hittest(5, 5); }));
    EXPECT_TRUE(spritetest::waitsForMonitor(list, [&] { dialog->mouseMove(e); }));
    EXPECT_TRUE(spritetest::waitsForMonitor(list, [&] { dialog->keyDown(13); }));
    EXPECT_TRUE(spritetest::waitsForMonitor(list, [&] { dialog->filterCommand(&out, &out); }));
    EXPECT_TRUE(spritetest::waitsForMonitor(list, [&] { dialog->mouseDown(e); }));
    e->release();
}

} // namespace
