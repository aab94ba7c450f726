// VignetteAnimate.h: the animated cut scene: a room that tells a story page
// by page, each page a background with pictures that fade in one after the
// other on a fixed timetable; "NextButton" turns the page, "ContinueButton"
// leaves. At the end it leads into a room, choosing the slide group first
// when that room is the slide-show room.
#pragma once

#include "game/rooms/Room.h"

#include <vector>

class VignetteAnimate : public Room {
public:
    // Pictures a page can hold.
    static constexpr int MAX_GRAPHICS = 10;
    // The slide-show room, whose group is chosen before it is entered.
    static constexpr int SLIDE_SHOW_ROOM = 9;
    // Frames of a picture's fade-in unless the definition says otherwise.
    static constexpr int DEFAULT_FADE_FRAMES = 24;
    // The alpha balance a picture fades in to.
    static constexpr int GRAPHIC_ALPHA = 255;

    // One page.
    struct VignetteData {
        int graphicCount;
        // For picture g (from 1) at index g - 1: frames from the start of its
        // fade-in to the start of the next picture's.
        int graphicTimes[MAX_GRAPHICS];
    };

    VignetteAnimate();

    HV_CLASS_NAME("VignetteAnimate", Room)
    HV_DECLARE_METACLASS(VignetteAnimate);

    // The room's set-up, then: 1 the page count, 2 the exit room, 3 the
    // slide group for the slide-show room, 4 the continue flag (1: the last
    // page offers "ContinueButton"), 5 the fade-in frames; then each page's
    // picture count followed by its times.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The room is entered at page 1, picture 1.
    void onEnter() override;
    // The room's press; then a click on the shown, enabled Next or Continue
    // button turns the page (not during the canvas's own fades).
    int mouseDown(window::Event* e) override;
    // "graphicWaiting<p>_<g>" starts the next picture when it names the
    // current page and picture (a late one is dropped); then the room's own.
    void handleAction(lang::Object* sender, lang::String* command) override;
    // The end of a picture's fade-in, "graphicVisible<p>_<g>": the wait
    // before the next picture begins. Never consumed.
    bool handleEvent(window::Event* e) override;

    // The next page, or the way out after the last.
    void advancePage();
    // Shows the current page with its pictures up to the current one.
    void showPage();

    int getPage() const { return m_nPage; }
    int getPageCount() const { return m_nPageCount; }
    int getGraphic() const { return m_nGraphic; }
    int getFadeFrames() const { return m_nFadeFrames; }
    int getExitRoom() const { return m_nExitRoom; }
    int getVignetteGroup() const { return m_nVignetteGroup; }
    bool getContinueOnLast() const { return m_bContinueOnLast; }
    const std::vector<VignetteData>& getPages() const { return m_pages; }

private:
    // "<prefix><page>_<graphic>" for the current page and picture.
    lang::String currentMessage(const char* prefix) const;

    int m_nPageCount;
    int m_nPage;
    int m_nFadeFrames;
    int m_nGraphic;
    int m_nExitRoom;
    int m_nVignetteGroup;
    bool m_bContinueOnLast;
    std::vector<VignetteData> m_pages;
};
