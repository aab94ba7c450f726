// OptionsSprite.h: the options dialog: a slider knob for the music volume
// and one for the effects volume (a knob's offset from its leftmost place is
// the volume, 0 to 255), a check mark for full screen and a close button.
// Dragging a knob plays the music or an effect sample at the new volume; the
// volumes are written to the settings store when the dialog closes, the
// full-screen choice at once.
#pragma once

#include "core/util/Vector.h"
#include "sprites/dialogs/DialogSprite.h"

namespace sprite {
class User;
}

namespace window {
class AudioClip;
class Frame;
} // namespace window

class OptionsSprite : public sprite::DialogSprite {
public:
    // The volumes run from 0 to 255: a knob travels 255 pixels.
    static constexpr int MAX_VOLUME = 255;
    // The volumes of a store that holds none.
    static constexpr int DEFAULT_MUSIC_VOLUME = 85;
    static constexpr int DEFAULT_FX_VOLUME = 170;

    OptionsSprite();
    // Releases the settings store and the music clips.
    ~OptionsSprite() override;

    HV_CLASS_NAME("OptionsSprite", sprite::DialogSprite)
    HV_DECLARE_METACLASS(OptionsSprite);

    // The dialog's set-up; with numbers in the definition (effects knob base
    // x and y, music knob base x and y) the knobs, the close button and the
    // check mark are bound. The dialog counts as shown from the start.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // Hides "DimFull" when shown; the preview music takes the music knob's
    // volume and loops while the dialog shows.
    void setVisible(bool visible) override;
    // The check mark follows the window's full-screen state; then the
    // dialog's tick.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // Close (saving the volumes), the full-screen switch, or a knob's drag.
    int mouseDown(window::Event* e) override;
    // Moves the dragged knob, held to its track, and plays at the new volume.
    bool mouseMove(window::Event* e) override;
    // Ends a drag where the pointer is.
    int mouseUp(window::Event* e) override;

    // The settings store (a reference is held).
    void setUser(sprite::User* user);
    // A clip whose volume follows the music knob (a reference is held); the
    // last one added is the one played while the music knob is dragged.
    void addMusicClip(window::AudioClip* clip);
    // The sample looped while the effects knob is dragged (borrowed).
    void setEffectsSample(window::AudioClip* clip) { m_pEffectsSample = clip; }
    // The window whose full-screen state the check mark shows (borrowed).
    void setFrame(window::Frame* frame) { m_pFrame = frame; }
    // Places the knobs at the stored volumes and the check mark at the
    // window's state.
    void readVolumes();
    // Writes both volumes and applies them to the sounds.
    void saveVolumes();

    sprite::User* getUser() const { return m_pUser; }
    window::AudioClip* getMusicClip() const { return m_pPreviewMusic; }
    window::AudioClip* getEffectsSample() const { return m_pEffectsSample; }
    window::Frame* getFrame() const { return m_pFrame; }
    sprite::SpriteBase* getDraggedKnob() const { return m_pDraggedKnob; }
    // A knob's volume: its offset from its base, held to 0..255 (0 without
    // the knob).
    int effectsVolume();
    int musicVolume();

private:
    // The dragged knob's place for the pointer at local x, held to the track.
    int dragX(int localX) const;
    // Starts dragging the knob grabbed at local x.
    void startDrag(sprite::SpriteBase* knob, int localX, int baseX, window::AudioClip* preview);
    // The volume of a knob's place.
    void applyVolume(int x, bool release);
    void switchFullScreen();

    sprite::User* m_pUser;
    sprite::SpriteBase* m_pFxKnob;
    sprite::SpriteBase* m_pMusicKnob;
    sprite::SpriteBase* m_pCloseButton;
    sprite::SpriteBase* m_pCheckMark;
    int m_nMusicBaseX;
    int m_nMusicY;
    int m_nFxBaseX;
    int m_nFxY;
    window::AudioClip* m_pPreviewMusic;
    window::AudioClip* m_pEffectsSample;
    sprite::SpriteBase* m_pDraggedKnob;
    int m_nGrabOffset;
    int m_nDragMin;
    int m_nDragMax;
    window::Frame* m_pFrame;
    util::Vector m_musicClips;
};
