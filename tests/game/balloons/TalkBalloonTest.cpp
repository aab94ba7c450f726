// The speech balloon: its size around a text, wrapping, the text's place and
// colour, the tails by code, the button it carries, its home and the glide
// in from the right.
#include "tests/game/support/CharacterStage.h"

#include "game/balloons/TalkBalloon.h"

#include <gtest/gtest.h>

#include <string>

using gametest::CharacterStage;

namespace {

class TalkBalloonTest : public ::testing::Test {
protected:
    CharacterStage stage;
    TalkBalloon* balloon = stage.balloon;
    sprite::NewFontSprite* text = stage.text;
};

TEST_F(TalkBalloonTest, ABalloonFitsItsTextWithTheMarginsAndCentresIt)
{
    text->setText("word");
    balloon->layout(text);
    // One line of 10.
    EXPECT_EQ(text->getBounds()->width + CharacterStage::kPadX, balloon->width());
    EXPECT_EQ(10 + CharacterStage::kPadY, balloon->height());
    EXPECT_EQ(balloon->left() + balloon->width() / 2, text->left()) << "centred text stands on the middle";
    EXPECT_EQ(balloon->top() + balloon->height() / 2 - 5, text->top());
    EXPECT_EQ(128, text->getAlpha());
    EXPECT_EQ(0, text->getColor().getRed()) << "the talk balloon's text is drawn black";

    balloon->setTextShift(4, -2);
    balloon->placeOver(text);
    EXPECT_EQ(balloon->left() + 4 + balloon->width() / 2, text->left());
    EXPECT_EQ(balloon->top() - 2 + balloon->height() / 2 - 5, text->top());
}

TEST_F(TalkBalloonTest, ALongTextWrapsAtTheScreensWidth)
{
    std::string words;
    for (int i = 0; i < 40; ++i)
        words += "abcde ";
    text->setText(words.c_str());
    balloon->layout(text);
    EXPECT_LE(balloon->width(), TalkBalloon::WRAP_WIDTH + CharacterStage::kPadX);
    EXPECT_EQ(20 + CharacterStage::kPadY, balloon->height()) << "two lines";
}

TEST_F(TalkBalloonTest, EachTailCodeHasItsPlace)
{
    auto* thought = new sprite::BoundsSprite(0, 0, 30, 12);
    stage.onCanvas("ThoughtTail", thought);
    balloon->setTail(6, thought);
    balloon->setSize(100, 40);
    const int tw = CharacterStage::kTailWidth;
    const struct {
        int code, x, y;
    } cases[] = {
        {0, 300 - tw + 15, 200}, {1, 300, 185}, {2, 300, 185}, {3, 285, 200},
        {4, 200, 185},           {5, 285, 200}, {6, 300, 228},
    };
    for (const auto& t : cases) {
        balloon->placeTail(t.code, 300, 200);
        sprite::SpriteBase* tail = balloon->getTail(t.code);
        EXPECT_EQ(t.code, balloon->getCurrentTail());
        EXPECT_EQ(t.x, tail->left()) << "code " << t.code;
        EXPECT_EQ(t.y, tail->top()) << "code " << t.code;
        EXPECT_FALSE(tail->isVisible()) << "placing does not show the tail";
    }
}

TEST_F(TalkBalloonTest, ACodeWithoutATailChangesNothing)
{
    balloon->placeTail(2, 300, 200);
    const int x = stage.tails[2]->left();
    balloon->placeTail(6, 10, 10);
    balloon->placeTail(7, 10, 10);
    balloon->placeTail(-1, 10, 10);
    EXPECT_EQ(2, balloon->getCurrentTail());
    EXPECT_EQ(x, stage.tails[2]->left());

    auto* bare = new TalkBalloon();
    stage.onCanvas("Bare", bare);
    bare->placeTail(0, 5, 5);
    bare->showTail(true);
    bare->fadeTail(0, 5);
    EXPECT_EQ(-1, bare->getCurrentTail());
}

TEST_F(TalkBalloonTest, TailFadesHideOnlyWhenTheyRun)
{
    balloon->placeTail(1, 300, 200);
    balloon->showTail(true);
    sprite::SpriteBase* tail = stage.tails[1];
    balloon->fadeTail(0, 0);
    EXPECT_EQ(0, tail->getAlpha());
    EXPECT_TRUE(tail->isVisible()) << "a fade of no frames is only a new alpha";
    balloon->fadeTail(128, 0);
    balloon->fadeTail(0, 5);
    stage.step(4);
    EXPECT_TRUE(tail->isVisible());
    stage.step(1);
    EXPECT_FALSE(tail->isVisible());
}

TEST_F(TalkBalloonTest, TheButtonMovesAndShowsWithTheBalloon)
{
    auto* help = new sprite::BoundsSprite(0, 0, 16, 16);
    stage.onCanvas("Help", help);
    balloon->attachButton(help);
    balloon->setPosition(100, 50);
    EXPECT_EQ(92, help->left());
    EXPECT_EQ(45, help->top());
    balloon->showWithTransition(true, 300);
    EXPECT_TRUE(balloon->isVisible()) << "at once, whatever the transition";
    EXPECT_EQ(nullptr, balloon->getTransition());
    EXPECT_TRUE(help->isVisible());
    balloon->setVisible(false);
    EXPECT_FALSE(help->isVisible());
}

TEST_F(TalkBalloonTest, TheDefinitionGivesTheHome)
{
    auto* tip = new TalkBalloon();
    stage.onCanvas("Tip", tip);
    lang::IntArray* numbers = spritetest::numberList({120, 340, 90, 30, 0, 0});
    tip->configure(nullptr, numbers);
    numbers->release();
    gametest::PartsDefinition definition({});
    tip->setDefinition(&definition);
    EXPECT_EQ(120, tip->getHomeLeft());
    EXPECT_EQ(340, tip->getHomeTop());
    EXPECT_EQ(90, tip->getHomeWidth());
    EXPECT_EQ(30, tip->getHomeHeight());
}

TEST_F(TalkBalloonTest, ASlideGlidesInFromBeyondTheRightEdgeWithItsCompanion)
{
    balloon->setSize(150, 40);
    balloon->setPosition(500, 300);
    text->setText("tip");
    text->setPosition(510, 310);
    const int textX = text->left();
    balloon->slideInFromRight(text);
    EXPECT_EQ(150 + 800, balloon->left());
    EXPECT_EQ(300, balloon->top());
    EXPECT_EQ(textX + 150 + 800 - 500, text->left());
    stage.step(TalkBalloon::SLIDE_FRAMES - 1);
    EXPECT_GT(balloon->left(), 500);
    stage.step(1);
    EXPECT_EQ(500, balloon->left());
    EXPECT_EQ(textX, text->left());
    EXPECT_EQ(310, text->top());
}

} // namespace
