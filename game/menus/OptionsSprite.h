// OptionsSprite.h: the options dialog (for now the set-up the canvas gives
// it: the settings store, the music clip, the effects sample and the frame;
// its knobs and check mark are not written yet).
#pragma once

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
    OptionsSprite();
    // Releases the settings store.
    ~OptionsSprite() override;

    HV_CLASS_NAME("OptionsSprite", sprite::DialogSprite)
    HV_DECLARE_METACLASS(OptionsSprite);

    // The settings store (a reference is held).
    void setUser(sprite::User* user);
    // The music clip the volume applies to (borrowed).
    void addMusicClip(window::AudioClip* clip) { m_pMusicClip = clip; }
    // The sample played while the effects volume is dragged (borrowed).
    void setEffectsSample(window::AudioClip* clip) { m_pEffectsSample = clip; }
    // The window whose full-screen state the dialog shows (borrowed).
    void setFrame(window::Frame* frame) { m_pFrame = frame; }
    // Places the controls from the stored settings.
    void readVolumes() {}

    sprite::User* getUser() const { return m_pUser; }
    window::AudioClip* getMusicClip() const { return m_pMusicClip; }
    window::AudioClip* getEffectsSample() const { return m_pEffectsSample; }
    window::Frame* getFrame() const { return m_pFrame; }

private:
    sprite::User* m_pUser;
    window::AudioClip* m_pMusicClip;
    window::AudioClip* m_pEffectsSample;
    window::Frame* m_pFrame;
};
