// InstructDialog.h: the how-to-play dialog opened from the main menu: pages
// "pg1", "pg2", ... that the player leafs through with Back and Next,
// cross-fading from one to the next, and the program's version in a corner.
#pragma once

#include "sprites/dialogs/DialogSprite.h"

class InstructDialog : public sprite::DialogSprite {
public:
    // The version printed in the dialog.
    static const char kVersion[];
    // Frames of the cross-fade between two pages.
    static constexpr int PAGE_FADE_FRAMES = 10;
    // The version text's size in pixels.
    static constexpr int VERSION_FONT_SIZE = 10;

    InstructDialog();

    HV_CLASS_NAME("InstructDialog", sprite::DialogSprite)
    HV_DECLARE_METACLASS(InstructDialog);

    // The dialog's set-up; the version text; only page 1 can be seen.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The dialog's press; a fired Back, Next or Close is acted on here too
    // (Close fades the dialog out) and still goes on to the canvas.
    int mouseDown(window::Event* e) override;

    int getPage() const { return m_nPage; }
    int getPageCount() const { return m_nPageCount; }

private:
    // Page n ("pg<n>"), or null.
    sprite::SpriteBase* page(int n);
    // Cross-fades from the current page to page `to` when it exists.
    bool turnTo(int to);

    int m_nPage;
    int m_nPageCount;
};
