// OptionsSprite.cpp: the options dialog's knobs, check mark and settings.
#include "game/menus/OptionsSprite.h"

#include "game/ambient/AmbientSoundManager.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "sound/clip/AudioClip.h"
#include "sprites/containers/SpriteDefinition.h"
#include "sprites/settings/User.h"
#include "windowing/window/Event.h"
#include "windowing/window/Frame.h"

#include <algorithm>

HV_DEFINE_METACLASS(OptionsSprite);

namespace {

// Room for the music clips: the canvas gives one.
constexpr int kMusicClipCapacity = 10;

int clampVolume(int volume)
{
    return std::clamp(volume, 0, OptionsSprite::MAX_VOLUME);
}

// Definition number i, or 0 past the end of the list.
int numberAt(lang::IntArray* numbers, int i)
{
    return i < numbers->length() ? (*numbers)[i] : 0;
}

} // namespace

OptionsSprite::OptionsSprite()
    : sprite::DialogSprite(false),
      m_pUser(nullptr),
      m_pFxKnob(nullptr),
      m_pMusicKnob(nullptr),
      m_pCloseButton(nullptr),
      m_pCheckMark(nullptr),
      m_nMusicBaseX(0),
      m_nMusicY(0),
      m_nFxBaseX(0),
      m_nFxY(0),
      m_pPreviewMusic(nullptr),
      m_pEffectsSample(nullptr),
      m_pDraggedKnob(nullptr),
      m_nGrabOffset(0),
      m_nDragMin(0),
      m_nDragMax(0),
      m_pFrame(nullptr),
      m_musicClips(kMusicClipCapacity)
{
}

OptionsSprite::~OptionsSprite()
{
    if (m_pUser)
        m_pUser->release();
    m_musicClips.removeAllElements();
}

void OptionsSprite::setDefinition(sprite::SpriteDefinition* definition)
{
    sprite::DialogSprite::setDefinition(definition);
    lang::IntArray* numbers = definition ? definition->getNumbers() : nullptr;
    if (numbers && numbers->length() > 0) {
        m_nFxBaseX = numberAt(numbers, 0);
        m_nFxY = numberAt(numbers, 1);
        m_nMusicBaseX = numberAt(numbers, 2);
        m_nMusicY = numberAt(numbers, 3);
        m_pFxKnob = getSprite("butfxknob");
        m_pMusicKnob = getSprite("butmuknob");
        m_pCloseButton = getSprite("bOptionsClose");
        m_pCheckMark = getSprite("bFullScreen");
    }
    m_bShown = true;
}

void OptionsSprite::setUser(sprite::User* user)
{
    if (user)
        user->addRef();
    if (m_pUser)
        m_pUser->release();
    m_pUser = user;
}

void OptionsSprite::addMusicClip(window::AudioClip* clip)
{
    if (!clip)
        return;
    m_musicClips.addElement(clip);
    m_pPreviewMusic = clip;
}

int OptionsSprite::effectsVolume()
{
    return m_pFxKnob ? clampVolume(m_pFxKnob->left() - m_nFxBaseX) : 0;
}

int OptionsSprite::musicVolume()
{
    return m_pMusicKnob ? clampVolume(m_pMusicKnob->left() - m_nMusicBaseX) : 0;
}

void OptionsSprite::readVolumes()
{
    if (m_pUser) {
        // A stored value off the track would put the knob beside it.
        if (m_pMusicKnob)
            m_pMusicKnob->setPosition(
                clampVolume(m_pUser->getInt(lang::String("VOLUMEMUSIC"), DEFAULT_MUSIC_VOLUME)) + m_nMusicBaseX,
                m_nMusicY);
        if (m_pFxKnob)
            m_pFxKnob->setPosition(
                clampVolume(m_pUser->getInt(lang::String("VOLUMEFX"), DEFAULT_FX_VOLUME)) + m_nFxBaseX, m_nFxY);
    }
    if (m_pFrame && m_pCheckMark)
        m_pCheckMark->setVisible(m_pFrame->isFullScreen());
}

void OptionsSprite::saveVolumes()
{
    LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
    if (m_pFxKnob) {
        const int volume = effectsVolume();
        if (m_pUser)
            m_pUser->setInt(lang::String("VOLUMEFX"), volume);
        window::AudioClip::setMasterVolume(volume);
        if (canvas && canvas->getAmbientSoundManager())
            canvas->getAmbientSoundManager()->setVolume(canvas->getFXVolume());
    }
    if (m_pMusicKnob) {
        const int volume = musicVolume();
        if (m_pUser)
            m_pUser->setInt(lang::String("VOLUMEMUSIC"), volume);
        for (int i = 0; i < m_musicClips.size(); ++i)
            static_cast<window::AudioClip*>(m_musicClips.elementAt(i))->setVolume(volume);
    }
}

void OptionsSprite::setVisible(bool visible)
{
    sprite::DialogSprite::setVisible(visible);
    if (visible) {
        if (LanternfieldCanvas* canvas = LanternfieldCanvas::instance)
            canvas->showSprite("DimFull", false);
    }
    if (!m_pPreviewMusic)
        return;
    if (m_pMusicKnob)
        m_pPreviewMusic->setVolume(musicVolume());
    if (visible)
        m_pPreviewMusic->loop();
}

bool OptionsSprite::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    // The window may have left full screen another way (the Esc key).
    if (m_bVisible && m_pFrame && m_pCheckMark)
        m_pCheckMark->setVisible(m_pFrame->isFullScreen());
    return sprite::DialogSprite::tick(frame, boundsOut, region);
}

void OptionsSprite::switchFullScreen()
{
    if (!m_pCheckMark)
        return;
    const bool fullScreen = !m_pCheckMark->isVisible();
    if (m_pUser)
        m_pUser->setInt(lang::String("FULLSCREEN"), fullScreen ? 1 : 0);
    m_pCheckMark->setVisible(fullScreen);
    if (m_pFrame && m_pFrame->isFullScreen() != fullScreen)
        m_pFrame->setFullScreen(fullScreen, false);
}

void OptionsSprite::startDrag(sprite::SpriteBase* knob, int localX, int baseX, window::AudioClip* preview)
{
    m_pDraggedKnob = knob;
    // Ends any move the knob had running.
    knob->setPosition(knob->left(), knob->top());
    m_nGrabOffset = localX - knob->left();
    m_nDragMin = baseX;
    m_nDragMax = baseX + MAX_VOLUME;
    if (preview)
        preview->loop();
}

int OptionsSprite::mouseDown(window::Event* e)
{
    setLastCommand(lang::String(""));
    const int result = sprite::DialogSprite::mouseDown(e);
    const lang::String command(getLastCommand());
    if (command.equalsIgnoreCase("bOptionsClose")) {
        saveVolumes();
        fadeOut();
        return COMMAND_READY;
    }
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    // The mark's box answers also while the mark is hidden.
    if ((m_pCheckMark && m_pCheckMark->hittest(x, y)) || command.equals("fullscreenhotspot")) {
        switchFullScreen();
        return COMMAND_READY;
    }
    if (m_pFxKnob && m_pFxKnob->isVisible() && m_pFxKnob->hittest(x, y)) {
        startDrag(m_pFxKnob, x, m_nFxBaseX, m_pEffectsSample);
        return COMMAND_READY;
    }
    if (m_pMusicKnob && m_pMusicKnob->isVisible() && m_pMusicKnob->hittest(x, y)) {
        startDrag(m_pMusicKnob, x, m_nMusicBaseX, m_pPreviewMusic);
        return COMMAND_READY;
    }
    return result;
}

int OptionsSprite::dragX(int localX) const
{
    return std::clamp(localX - m_nGrabOffset, m_nDragMin, m_nDragMax);
}

void OptionsSprite::applyVolume(int x, bool release)
{
    const int volume = x - m_nDragMin;
    if (m_pDraggedKnob == m_pFxKnob) {
        window::AudioClip::setMasterVolume(volume);
        if (!m_pEffectsSample)
            return;
        if (release)
            m_pEffectsSample->stop();
        else if (!m_pEffectsSample->isPlaying())
            m_pEffectsSample->play();
    } else if (m_pPreviewMusic) {
        m_pPreviewMusic->setVolume(volume);
    }
}

bool OptionsSprite::mouseMove(window::Event* e)
{
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    bool handled = false;
    if (m_pDraggedKnob) {
        const int knobX = dragX(x);
        m_pDraggedKnob->setPosition(knobX, m_pDraggedKnob->top());
        applyVolume(knobX, false);
        handled = true;
    }
    if ((m_pCheckMark && m_pCheckMark->hittest(x, y)) || (m_pFxKnob && m_pFxKnob->hittest(x, y)) ||
        (m_pMusicKnob && m_pMusicKnob->isVisible() && m_pMusicKnob->hittest(x, y)))
        handled = true;
    const bool over = sprite::DialogSprite::mouseMove(e);
    return over || handled;
}

int OptionsSprite::mouseUp(window::Event* e)
{
    if (!m_pDraggedKnob)
        return sprite::DialogSprite::mouseUp(e);
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    const int knobX = dragX(x);
    m_pDraggedKnob->setPosition(knobX, m_pDraggedKnob == m_pFxKnob ? m_nFxY : m_nMusicY);
    applyVolume(knobX, true);
    m_pDraggedKnob = nullptr;
    return NOT_HANDLED;
}
