// BookDlgSprite.h: the chapter book, the game's pause screen and chapter
// selector: one page per chapter with its title, description, picture and a
// mark when it is complete; arrows turn the pages with a page-flip overlay;
// buttons resume the game, play or replay a chapter, end the game, and open
// the options or a puzzle's instructions.
#pragma once

#include "sprites/dialogs/DialogSprite.h"

class BookDlgSprite : public sprite::DialogSprite {
public:
    static constexpr int CHAPTER_COUNT = 6;
    // The page-flip sound of the canvas's sound table.
    static constexpr int SOUND_PAGE_FLIP = 127;
    // Frames the flip overlay shows before the new page: it is drawn on
    // the fifth frame after the click.
    static constexpr int FLIP_FRAMES = 4;
    // Where the options and end-game buttons stand, with and without the
    // instructions button between them.
    static constexpr int BUTTON_ROW_Y = 556;
    static constexpr int OPTIONS_X_WITH_INSTRUCTIONS = 341;
    static constexpr int END_GAME_X_WITH_INSTRUCTIONS = 186;
    static constexpr int OPTIONS_X_ALONE = 418;
    static constexpr int END_GAME_X_ALONE = 263;

    BookDlgSprite();

    HV_CLASS_NAME("BookDlgSprite", sprite::DialogSprite)
    HV_DECLARE_METACLASS(BookDlgSprite);

    // The dialog's set-up; the flip overlay is hidden and the book counts as
    // shown from the start.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // While the book shows and a flip runs, the flip counts down; at its end
    // the new page is drawn. Then the dialog's tick.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // The book's buttons do their part before the canvas acts on them; the
    // arrows turn the pages (not during a flip).
    int mouseDown(window::Event* e) override;
    // The arrows' rollover looks.
    bool mouseMove(window::Event* e) override;
    // The book takes no keys.
    int keyDown(int key) override;

    // Fades the book in at the chapter's page, with the instructions button
    // when a puzzle is active.
    void open(int chapter, bool puzzleActive);
    // The options and end-game buttons, with or without the instructions
    // button (never without a mini-game in the current room).
    void layoutMenuButtons(bool withInstructions);
    // Page n: texts, picture, buttons for the player's progress, arrows.
    void showChapterPage(int n);
    void updateArrows();
    // Sound, overlay and the countdown; nothing while a flip runs.
    void startPageFlip();

    int getPage() const { return m_nPage; }
    bool isFlipping() const { return m_bFlipping; }
    int getFlipCountdown() const { return m_nFlipCountdown; }
    bool isLeftArrowUsable() const { return m_bLeftUsable; }
    bool isRightArrowUsable() const { return m_bRightUsable; }

private:
    // An arrow's rollover: returns whether the look changed.
    bool trackArrow(bool usable, bool& over, const char* normal, const char* rollover, int x, int y);
    // The page's chapter starts at once (a right arrow toward a chapter
    // whose cut scene has not been seen).
    void startPageChapter();

    int m_nPage;
    bool m_bLeftOver;
    bool m_bRightOver;
    bool m_bLeftUsable;
    bool m_bRightUsable;
    bool m_bFlipping;
    int m_nFlipCountdown;
};
