// Event.h: one input or action event: what happened, where, with which
// modifier keys and when, holding references on its target and argument.
#pragma once

#include "core/lang/Object.h"

#include <cstdint>

namespace window {

class Event : public lang::Object {
public:
    // Event types (id).
    static constexpr int MOUSE_DOWN = 1;
    static constexpr int MOUSE_MOVE = 2;
    static constexpr int MOUSE_UP = 3;
    static constexpr int MOUSE_DRAG = 4;
    static constexpr int KEY_DOWN = 5;
    static constexpr int KEY_UP = 6;
    static constexpr int ACTION = 7;

    // Modifier bits.
    static constexpr int CTRL_MASK = 1;
    static constexpr int SHIFT_MASK = 2;
    static constexpr int RIGHT_BUTTON_MASK = 4;

    // Key codes of the keys that give no character: 1000 + virtual-key code.
    static constexpr int KEY_CODE_BASE = 1000;
    static constexpr int LEFT = 1037;
    static constexpr int UP = 1038;
    static constexpr int RIGHT = 1039;
    static constexpr int DOWN = 1040;
    static constexpr int DELETE_KEY = 1046;
    static constexpr int F1 = 1112;
    static constexpr int F15 = 1126;

    // Takes a reference on arg, then on target; both must be valid objects.
    // Every other field starts at 0.
    Event(lang::Object* target, int id, lang::Object* arg);
    ~Event() override;

    HV_CLASS_NAME("Event", lang::Object)

    int id;
    int x;
    int y;
    int modifiers;
    int key;
    int clickCount;
    uint32_t when;
    lang::Object* arg;
    lang::Object* target;
};

} // namespace window
