// Character.h: a talking figure of the scenes (stand-in: the balloon, text
// and skip-button bindings, the talk-to-me flag and the talk state that the
// canvas set-up and the rooms use; the figure's animation layers, speech and
// Lua class are not written yet).
#pragma once

#include "sprites/dialogs/DialogSprite.h"

class TalkBalloon;

class Character : public sprite::DialogSprite {
public:
    // States (changeState): switched off, idle, held, talking.
    static constexpr int STATE_OFF = -1;
    static constexpr int STATE_IDLE = 0;
    static constexpr int STATE_HELD = 1;
    static constexpr int STATE_TALKING = 2;

    Character();

    HV_CLASS_NAME("Character", sprite::DialogSprite)
    HV_DECLARE_METACLASS(Character);

    // The character hides itself once its definition is applied.
    void setDefinition(sprite::SpriteDefinition* definition) override;

    // Talking: the balloon is up.
    bool isTalking();
    // The minimum talk time has passed.
    bool canSkipTalk();
    virtual void stopTalk();
    // -1 stops any talk and hides the character; 0 idle; 1 held.
    void changeState(int state);
    void setIdle(bool idle) { changeState(idle ? STATE_IDLE : STATE_HELD); }
    void setEnabled(bool enabled) { m_bEnabled = enabled; }
    bool isEnabled() const { return m_bEnabled; }
    // Puts the character's anchor point on (x, y).
    void setOffset(int x, int y);
    // The point lies on the character's visible "TalkToMeButton".
    bool isOverTalkToMeButton(int x, int y);
    // The fixed balloon position on or off (the anchor code stays when off).
    void setFixedTalkBalloonPosition(bool fixed, int x, int y, int anchor);

    void setTalkBalloon(TalkBalloon* balloon) { m_pTalkBalloon = balloon; }
    TalkBalloon* getTalkBalloon() const { return m_pTalkBalloon; }
    void setTalkText(sprite::SpriteBase* text) { m_pTalkText = text; }
    sprite::SpriteBase* getTalkText() const { return m_pTalkText; }
    void setSkipButton(sprite::SpriteBase* button) { m_pSkipButton = button; }
    sprite::SpriteBase* getSkipButton() const { return m_pSkipButton; }
    void setHasTalkToMeButton(bool has) { m_bHasTalkToMeButton = has; }
    bool hasTalkToMeButton() const { return m_bHasTalkToMeButton; }
    void setBalloonAnchor(int anchor) { m_nBalloonAnchor = anchor; }
    int getBalloonAnchor() const { return m_nBalloonAnchor; }
    bool hasFixedBalloon() const { return m_bFixedBalloon; }
    int getState() const { return m_nState; }

protected:
    sprite::SpriteBase* m_pTalkText;
    TalkBalloon* m_pTalkBalloon;
    sprite::SpriteBase* m_pSkipButton;
    int m_nState;
    bool m_bEnabled;
    bool m_bHasTalkToMeButton;
    int m_nFixedBalloonX;
    int m_nFixedBalloonY;
    int m_nBalloonAnchor;
    bool m_bFixedBalloon;
    int m_nOffsetX;
    int m_nOffsetY;
};
