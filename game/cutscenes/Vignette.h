// Vignette.h: the slide-show cut scene: a room that tells a piece of the
// story as full-screen slides with captions, paged with "NextButton" and
// left with "ContinueButton"; at the end it leads into a room or ends the
// chapter. It holds several independent slide groups (one per chapter);
// the group is chosen before the room is entered.
#pragma once

#include "game/rooms/Room.h"

#include <vector>

class Vignette : public Room {
public:
    // One slide group.
    struct VignetteData {
        int slideCount;
        // The room after the last slide; negative ends the chapter.
        int exitRoom;
        // The number of the group's first "Slide<n>".
        int firstSlide;
    };

    // Slides numbered from here on have no caption.
    static constexpr int FIRST_UNCAPTIONED_SLIDE = 60;
    // A caption fades in this long after its slide shows, over this long.
    static constexpr int CAPTION_DELAY_FRAMES = 12;
    static constexpr int CAPTION_FADE_FRAMES = 45;
    // "DimFull" closes over the screen before the exit and opens after it.
    static constexpr int EXIT_DIM_FRAMES = 20;
    static constexpr int EXIT_DELAY_FRAMES = 21;
    static constexpr int ENTER_FADE_FRAMES = 30;
    // The most slides a group may hold: a larger count is damaged data.
    static constexpr int MAX_GROUP_SLIDES = 1000;

    Vignette();

    HV_CLASS_NAME("Vignette", Room)
    HV_DECLARE_METACLASS(Vignette);

    // The room's set-up, then the groups: number 1 is their count, then
    // (first slide, slide count, exit room) for each.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The room is entered at the first slide of the current group.
    void onEnter() override;
    // The room's press; then a click on the shown Next or Continue button
    // turns the slide (not while "DimFull" fades or the room is left).
    int mouseDown(window::Event* e) override;
    // "FadeInText" fades the sending caption in; "ExitRoom<n>" leaves for
    // room n; every other command goes on to the room.
    void handleAction(lang::Object* sender, lang::String* command) override;

    // The next slide, or the end of the group.
    void advance();
    // Shows the current slide of the current group and the button that
    // follows it.
    void showSlides();

    // The slide group shown when the room is entered next.
    void setGroup(int group) { m_nGroup = group; }
    int getGroup() const { return m_nGroup; }
    int getPage() const { return m_nPage; }
    int getGroupCount() const { return m_nGroupCount; }
    const std::vector<VignetteData>& getGroups() const { return m_groups; }

private:
    // The current group; a group index out of range is group 0 (with a
    // diagnostic line unless quiet); null when there are no groups.
    const VignetteData* currentGroup(bool quiet = false);

    int m_nGroupCount;
    int m_nPage;
    int m_nGroup;
    std::vector<VignetteData> m_groups;
};
