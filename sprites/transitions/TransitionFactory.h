// TransitionFactory.h: makes screen and sprite transitions from a numeric
// type code or from a Lua table of options; every transition made is begun.
#pragma once

#include "core/lang/Class.h"
#include "core/util/RectangleNM.h"

struct lua_State;

namespace sprite {

class TransitionBase;

class TransitionFactory : public lang::Object {
public:
    // Type codes: 100 + i wipes in direction directionCode(i + 1) (i = 0..7),
    // 200/201 side-by-side barn doors (201 closing), 202/203 one above the
    // other, 300..311 mosaics, 400/401 masks.
    static constexpr int WIPE = 100;
    static constexpr int BARN_DOOR = 200;
    static constexpr int MOSAIC = 300;
    static constexpr int MASK = 400;

    TransitionFactory() = default;

    HV_CLASS_NAME("TransitionFactory", lang::Object)
    HV_DECLARE_METACLASS(TransitionFactory);

    // A begun transition of that type over (x, y, width, height) lasting
    // `frames` frames, or null for a type that makes nothing. The flag is
    // not used.
    static TransitionBase* create(int type, int x, int y, int width, int height, const lang::String& maskName,
                                  bool flag, int frames);
    // Over the whole 800 x 600 screen.
    static TransitionBase* createFullScreen(int type, int frames);
    static TransitionBase* create(int type, const util::RectangleNM& bounds, bool flag, int frames);
    static TransitionBase* create(int type, const util::RectangleNM& bounds, const lang::String& maskName, bool flag,
                                  int frames);
    // A begun transition from the option table on top of the Lua stack, over
    // the bounds when useBounds is set, else over the whole screen; a mask
    // placed where the table says, else at the default. A missing or
    // unknown "transition", "none", or an unknown option name raises a Lua
    // error; the stack is left as it was.
    static TransitionBase* createFromLuaTable(lua_State* L, const util::RectangleNM& bounds, bool useBounds,
                                              int defaultMaskX, int defaultMaskY);
    // The direction code of an option index 1..10 (left, up, right, down,
    // up-left, up-right, down-left, down-right, horizontal, vertical); 0 for
    // anything else.
    static int directionCode(int index);
};

} // namespace sprite
