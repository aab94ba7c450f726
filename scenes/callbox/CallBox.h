// CallBox.h: the close-up of the telephone call box (room 22). The player
// lifts the receiver, dials digits on a nine-key pad, sees them slide into a
// four-place register and has them tested against the combination of the
// room's definition. The class keeps the receiver, the dial, the register and
// the test with its colours and sounds; the script "CallBox.lua" decides
// when each happens and what a right or wrong number leads to.
#pragma once

#include "game/rooms/Room.h"

namespace window {
class Event;
class ImageBase;
} // namespace window

class CallBox : public Room {
public:
    // The register holds four digits, and so does the longest combination.
    static constexpr int PLACES = 4;
    // The dial's keys: "CallBox1" to "CallBox9".
    static constexpr int KEYS = 9;

    // Sound table entries: digit d dialled is SOUND_DIGIT + d.
    static constexpr int SOUND_REGISTER_SHOWN = 63;
    static constexpr int SOUND_REGISTER_CLEARED = 64;
    static constexpr int SOUND_RECEIVER_LIFTED = 65;
    static constexpr int SOUND_WRONG = 66;
    static constexpr int SOUND_RIGHT = 67;
    static constexpr int SOUND_DIGIT = 68;

    // The close button zooms back to the mansion gate.
    static constexpr int MANSION_GATE_ROOM = 13;
    // The room's table in `rooms`.
    static const char kScriptTable[];

    // Nothing dialled, no combination.
    CallBox();
    // Gives back the places' empty pictures.
    ~CallBox() override;

    HV_CLASS_NAME("CallBox", Room)
    HV_DECLARE_METACLASS(CallBox);

    // The combination and the register's two heights from the numbers; the
    // eleven keys set up as fire-on-release buttons hit by their pictures.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The room's own handling, then the close button.
    int mouseDown(window::Event* e) override;
    // The receiver hung up, the register cleared, the puzzle mode on.
    void onEnter() override;
    void onExit() override;
    // The register places' ends of slide ("CallBoxReg...") are taken;
    // "clearDialTrue" enables the dial again.
    bool handleEvent(window::Event* e) override;

    // The Lua methods' operations.
    // A digit into the next free place (sound 68 + d), or sound 66 when full.
    void addDigit(int digit);
    // The nine keys, "CallBoxClear" and "CallBoxEnter" on or off.
    void clearDial(bool enable);
    // Every place back to its rest height, sliding when `animate` is set,
    // and showing its empty picture (at the slide's end).
    void clearRegister(bool animate);
    // The digits dialled are the combination.
    bool isComboCorrect() const;
    // The receiver lifted or hung up, with its click areas.
    void liftReceiver(bool lift);
    // The right or wrong sound; the places tinted green or red when `show`
    // is set, else neutral.
    void testCombo(bool show);
    // The places dialled shown, the last sliding up into view.
    void updateRegister();
    bool usedMillionaireCombo() const { return m_bMillionaireCombo; }

    int getEnteredCount() const { return m_nCount; }
    int getEnteredDigit(int i) const { return i >= 0 && i < PLACES ? m_digits[i] : 0; }
    int getComboLength() const { return m_nComboLength; }
    int getRestY() const { return m_nRestY; }
    int getDisplayY() const { return m_nDisplayY; }

    // The native methods of hv.CallBox, ending with an empty entry.
    static const luaL_Reg* luaMethods();

private:
    // The register place i (1 to 4), or null.
    sprite::SpriteBase* place(int i);
    // Place i (1 to 4) shows its empty picture again.
    void blankPlace(int i);

    int m_digits[PLACES];
    int m_nCount;
    int m_nRestY;
    int m_nDisplayY;
    int m_nComboLength;
    bool m_bMillionaireCombo;
    int m_combo[PLACES];
    // The pictures the places show while empty (the definition's), each
    // with a reference of its own.
    window::ImageBase* m_blanks[PLACES];
};
