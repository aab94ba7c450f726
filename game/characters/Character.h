// Character.h: a talking figure of the scenes. It draws its body from seven
// animation layers (legs, torso, head, right arm, left arm, talk, blink)
// chosen by body and head type, blinks at random, flaps its mouth while it
// speaks through a balloon with a text sprite and a skip button of the
// canvas, walks to a point, and can offer a "TalkToMeButton". Its Lua class
// is hv.Character (CharacterLua.cpp).
#pragma once

#include "core/lang/IntArray.h"
#include "core/util/Point.h"
#include "core/util/Random.h"
#include "sprites/dialogs/DialogSprite.h"

struct luaL_Reg;

namespace sprite {
class AnimateSprite;
class NewFontSprite;
} // namespace sprite

class TalkBalloon;

class Character : public sprite::DialogSprite {
public:
    // The animation layers, by index.
    enum Layer { LEGS, TORSO, HEAD, RIGHT_ARM, LEFT_ARM, TALK, BLINK, LAYER_COUNT };
    // Body and head types A to G.
    static constexpr int TYPE_COUNT = 7;
    static constexpr int TYPE_A = 0;
    static constexpr int TYPE_B = 1; // the talking pose: the only one with a mouth and eyelids
    static constexpr int TYPE_D = 3;

    // States (changeState).
    static constexpr int STATE_OFF = -1;
    static constexpr int STATE_IDLE = 0;
    static constexpr int STATE_HELD = 1;
    static constexpr int STATE_TALKING = 2;
    static constexpr int STATE_TIME_UP = 3;
    static constexpr int STATE_STOPPED = 4;
    static constexpr int STATE_MOVING = 5;

    // Balloon anchor codes: "NW", "SW", "SE", "NE", "PHONE", and the thought.
    static constexpr int ANCHOR_AUTO = -1;
    static constexpr int ANCHOR_NW = 0;
    static constexpr int ANCHOR_SW = 1;
    static constexpr int ANCHOR_SE = 2;
    static constexpr int ANCHOR_NE = 3;
    static constexpr int ANCHOR_PHONE = 4;
    static constexpr int ANCHOR_THOUGHT = 6;
    // A balloon keeps this far inside every edge of the screen.
    static constexpr int BALLOON_MARGIN = 4;

    // Sounds of the canvas's sound table.
    static constexpr int SOUND_TALK_BLIP = 52;
    static constexpr int SOUND_TALK_TO_ME = 122;
    // A speech stands at least this long (1.92 s at 25 frames a second).
    static constexpr int MIN_TALK_FRAMES = 48;
    // After its speaking time a balloon stays this many frames a character
    // of its text, and at least READ_MIN_FRAMES, before it goes.
    static constexpr int READ_FRAMES_PER_CHAR = 2;
    static constexpr int READ_MIN_FRAMES = 75;

    // The names of the layers and type letters as the scripts write them.
    static const char* const kLayerNames[LAYER_COUNT + 1];
    static const char* const kTypeNames[TYPE_COUNT + 1];
    static const char* const kAnchorNames[6];

    // The Lua class of every character.
    static const char kMetatable[];
    static const char kScriptFile[];

    Character();

    HV_CLASS_NAME("Character", sprite::DialogSprite)
    HV_DECLARE_METACLASS(Character);

    // Commands of the character's animations, the balloon and the scripts.
    void handleAction(lang::Object* sender, lang::String* command) override;
    // An animation-end message (its command as the argument) goes to
    // handleAction; every event counts as handled.
    bool handleEvent(window::Event* e) override;
    // Blinking, the talk countdowns and the mouth.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // Notes the position, then moves there.
    void setPosition(int x, int y) override;
    // Hiding also hides the text, the balloon and the skip button; showing
    // brings back the talk-to-me button the scripts asked for.
    void setVisible(bool visible) override;
    // Over an opaque pixel of a layer or over the talk-to-me button of an
    // enabled character; highlights the button.
    bool hittest(int x, int y) override;
    // Numbers 0, 1 the anchor inside the picture, 2 the body-type count (7:
    // A to G, else A, B, D, F, G), 3 the first blink wait and the shortest, 4
    // the longest; every body sprite starts hidden, and so does the figure.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // A press on the skip button skips the speech.
    int mouseDown(window::Event* e) override;
    // The pointer is over an enabled, visible character.
    bool mouseMove(window::Event* e) override;

    // The sprites of a body type go into the layers (all empty for a type
    // the character lacks); type B also fills the mouth and the eyelids.
    virtual void setBodyType(int type);
    // The head sprites by head type.
    virtual void findHeadSprites();
    // Ambient gestures on, body type B shown at its first frames.
    virtual void enterIdlePose();
    // Moves the anchor to (x, y) in `frames` frames (state 5).
    virtual void moveTo(int x, int y, int frames);
    virtual void showTalkText(bool show);
    // The balloon (at once, or through a transition) and its tail; the skip
    // button too unless hideSkip.
    virtual void showTalkBalloon(bool show, bool hideSkip, int transition);
    // Takes up or leaves the conversation pose; nothing here.
    virtual void setConversation(bool on);
    // Speaks the text for at least its length x framesPerChar frames: this
    // becomes the canvas's one talking character.
    virtual void say(const lang::String& text, bool timed, int framesPerChar);
    // Speaks the text item; a timed speech shows no skip button.
    virtual void talk(const lang::String& textId, bool timed);
    virtual void stopTalk();
    virtual void closeMouth();
    // The speech was stopped: mouth closed, idle, blinking.
    virtual void onTalkStopped();
    // The reading time is over: the right arm goes back, the mouth closes.
    virtual void onTalkTimeUp();
    // The minimum talk time has passed.
    virtual bool canSkipTalk();
    // "normal" (any case) is mood 0.
    virtual void setState(const lang::String& name);
    // The width the balloon is placed by: the torso's, else the figure's.
    virtual int balloonAnchorWidth();

    // The text sprite is revealing, reading time is left, or the balloon is up.
    bool isTalking();
    // Enters the state and runs its entry action (table of states); a
    // non-zero state equal to the current one changes nothing.
    void changeState(int state);
    void setIdle(bool idle) { changeState(idle ? STATE_IDLE : STATE_HELD); }
    void setBlinking(bool blinking);
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_bEnabled; }
    // Puts the character's anchor point on (x, y).
    void setOffset(int x, int y);
    // The walk cycle of the legs and arms runs for ever, or stops at frame 0.
    void setWalking(bool walking);
    void setBodyTypeAndShow(int type);
    // Another head in the head layer; nothing when the character has no head
    // of that type.
    void setHeadTypeLayers(int type);
    // The child of that name takes the layer's place at that frame; nothing
    // when there is no such child.
    void setAnimLayer(int layer, const lang::String& spriteName, int frame);
    void setLayerVisible(int layer, bool visible);
    void setLayerFrame(int layer, int frame);
    void setLayersVisible(bool visible);
    void resetLayerFrames();
    // Plays frames of a layer (-1: the current frame, the last frame) at
    // frameRate ticks a frame; loops 0 or 1 once, n > 1 n times, negative
    // without end; the end is reported with the notification (else
    // "AnimationFinished"); the layer is shown.
    void startAnimation(int layer, int startFrame, int endFrame, int frameRate, int frameStep, int loops,
                        const lang::String& notification);
    void playRightArmForward();
    void playLeftArmForward();
    void playRightArmBack();
    void playLeftArmBack();
    // The balloon at a fixed point with that anchor code (only when fixed;
    // unfixing keeps the point and the code).
    void setFixedTalkBalloonPosition(bool fixed, int x, int y, int anchor);
    // The balloon, its tail, the skip button and the text fade to the alpha;
    // a fade out brings the balloon back with the text it holds by then.
    void fadeTalkBalloon(int alpha, int frames);
    void showTalkToMeButton(bool show);
    // The talk-to-me button pops up from 1 % to 150 % with its sound.
    void popTalkToMeButton();
    // Ends the speech when its text shows.
    void skipTalk();
    // The point lies on the visible talk-to-me button of an enabled character.
    bool isOverTalkToMeButton(int x, int y);
    // Places the balloon for the anchor point and code (Algorithms).
    void placeTalkBalloon(int x, int y, int anchor);

    // Bindings the canvas makes after loading. A text sprite that is not a
    // bitmap-font text counts as none.
    void setTalkBalloon(TalkBalloon* balloon) { m_pTalkBalloon = balloon; }
    TalkBalloon* getTalkBalloon() const { return m_pTalkBalloon; }
    void setTalkText(sprite::SpriteBase* text);
    sprite::NewFontSprite* getTalkText() const { return m_pTalkText; }
    void setSkipButton(sprite::SpriteBase* button) { m_pSkipButton = button; }
    sprite::SpriteBase* getSkipButton() const { return m_pSkipButton; }
    void setHasTalkToMeButton(bool has) { m_bHasTalkToMeButton = has; }
    bool hasTalkToMeButton() const { return m_bHasTalkToMeButton; }
    void setBalloonAnchor(int anchor) { m_nBalloonAnchor = anchor; }
    int getBalloonAnchor() const { return m_nBalloonAnchor; }
    bool hasFixedBalloon() const { return m_bFixedBalloon; }

    int getState() const { return m_nState; }
    int getBodyType() const { return m_nBodyType; }
    int getHeadType() const { return m_nHeadType; }
    int getMood() const { return m_nMood; }
    bool isBlinking() const { return m_bBlinking; }
    int getBlinkCountdown() const { return m_nBlinkCountdown; }
    bool getAmbients() const { return m_bAmbients; }
    void setAmbients(bool on) { m_bAmbients = on; }
    bool isWalking() const { return m_bWalking; }
    int getTalkFrames() const { return m_nTalkFrames; }
    void setTalkFrames(int frames) { m_nTalkFrames = frames; }
    int getMinTalkFrames() const { return m_nMinTalkFrames; }
    const util::Point& getPositionPoint() const { return m_position; }
    const util::Point& getOffsetPoint() const { return m_offset; }
    bool isTalkToMeButtonShown() const { return m_bTalkToMeButtonShown; }
    sprite::AnimateSprite* getLayer(int layer) const;
    sprite::AnimateSprite* getHead(int type) const;
    util::Random& getRandom() { return m_random; }

    // The native methods of hv.Character, ending with an empty entry.
    static const luaL_Reg* luaMethods();

protected:
    // The definition's number i, or 0 past its end.
    int definitionNumber(int i) const;
    // The child of that name when it is an animated sprite, else null.
    sprite::AnimateSprite* animatedChild(const char* name);
    // The sprite's animation end reaches this character with the command.
    void reportEnd(sprite::SpriteBase* sprite, const char* command);
    // The "TalkToMeButton" child when the character offers one.
    sprite::SpriteBase* talkToMeButton();
    // Text sprite shown with the text; the reading time set.
    void setSpeechText(const lang::String& text, int framesPerChar);
    // A new mouth frame, never the one shown.
    void flapMouth();
    // Brings up the eyelids and draws the next blink wait.
    void blink();
    // The layer's sprite frames start..end at `rate` ticks a frame, `step`
    // at a time; loops as startAnimation. No visibility or action change.
    static void playFrames(sprite::AnimateSprite* sprite, int startFrame, int endFrame, int rate, int step,
                           int loops);
    // The arm layer plays from frame 0 to its last once, or back from its
    // last frame to frame 0.
    void playArmForward(int layer);
    void playArmBack(int layer);
    // A sprite shown at alpha 0 and faded in over 6 frames, or faded out
    // over 5 frames and hidden at the end: the player's and the tutorial
    // guide's gentle text and balloon.
    static void fadeIn(sprite::SpriteBase* sprite);
    static void fadeOut(sprite::SpriteBase* sprite);

    bool m_bBlinking;
    int m_nBlinkCountdown;
    int m_nBlinkMin;
    int m_nBlinkMax;
    bool m_bEnabled;
    util::Point m_position;
    util::Point m_offset;
    lang::IntArray m_params;
    sprite::NewFontSprite* m_pTalkText;
    TalkBalloon* m_pTalkBalloon;
    sprite::SpriteBase* m_pSkipButton;
    int m_nState;
    int m_nBodyType;
    int m_nHeadType;
    bool m_bAmbients;
    bool m_bWalking;
    int m_nMood;
    util::Random m_random;
    sprite::AnimateSprite* m_layers[LAYER_COUNT];
    sprite::AnimateSprite* m_heads[TYPE_COUNT];
    bool m_bHasTalkToMeButton;
    bool m_bTalkToMeButtonShown;
    int m_nFixedBalloonX;
    int m_nFixedBalloonY;
    int m_nBalloonAnchor;
    bool m_bFixedBalloon;
    int m_nTalkFrames;
    int m_nMinTalkFrames;
    // Frames the balloon has stood since the speech's time was up: it is
    // taken down once the player had the time to read it.
    int m_nTimeUpFrames;
};
