// TransitionFactory.cpp: transitions by type code and from Lua option tables.
#include "sprites/transitions/TransitionFactory.h"

#include "sprites/transitions/TransitionBarnDoor.h"
#include "sprites/transitions/TransitionMask.h"
#include "sprites/transitions/TransitionMosaic.h"
#include "sprites/transitions/TransitionWipe.h"

#include <lua.hpp>

#include <climits>
#include <cmath>
#include <cstring>

namespace sprite {

HV_DEFINE_METACLASS(TransitionFactory);

namespace {

// A wipe divides its size by the frame count, a barn door by one less.
int atLeast(int frames, int minimum)
{
    return frames < minimum ? minimum : frames;
}

const char* const kTransitionNames[] = {"none", "wipe", "barnDoor", "mosaic", "mask", nullptr};
const int kTransitionTypes[] = {0, TransitionFactory::WIPE, TransitionFactory::BARN_DOOR, TransitionFactory::MOSAIC,
                                TransitionFactory::MASK};
const char* const kDirectionNames[] = {"none",      "left",     "up",        "right",      "down",     "upLeft",
                                       "upRight",   "downLeft", "downRight", "horizontal", "vertical", nullptr};
const char* const kMosaicStyles[] = {"disappear", "disappeareffect", "explode", "flyaway", "checkerboard", "louver",
                                     nullptr};
const char* const kMosaicRemovals[] = {"wipe", "shrink", nullptr};

// The largest number of tiles a mosaic holds.
const int kMaxMosaicTiles = TransitionMosaic::MAX_TILES;

// The mosaic of each type code from 300 on: style, removal and direction.
struct MosaicKind {
    int style;
    int removal;
    int direction;
};
const MosaicKind kMosaicKinds[] = {
    {TransitionMosaic::DISAPPEAR, TransitionMosaic::REMOVE_WIPE, 1},
    {TransitionMosaic::DISAPPEAR_EFFECT, TransitionMosaic::REMOVE_WIPE, 1},
    {TransitionMosaic::DISAPPEAR_EFFECT, TransitionMosaic::REMOVE_WIPE, 2},
    {TransitionMosaic::DISAPPEAR_EFFECT, TransitionMosaic::REMOVE_SHRINK, 1},
    {TransitionMosaic::EXPLODE, TransitionMosaic::REMOVE_WIPE, 1},
    {TransitionMosaic::FLYAWAY, TransitionMosaic::REMOVE_WIPE, 1},
    {TransitionMosaic::CHECKERBOARD, TransitionMosaic::REMOVE_WIPE, 1},
    {TransitionMosaic::CHECKERBOARD, TransitionMosaic::REMOVE_WIPE, 2},
    {TransitionMosaic::CHECKERBOARD, TransitionMosaic::REMOVE_SHRINK, 1},
    {TransitionMosaic::LOUVER, TransitionMosaic::REMOVE_WIPE, 1},
    {TransitionMosaic::LOUVER, TransitionMosaic::REMOVE_WIPE, 2},
    {TransitionMosaic::LOUVER, TransitionMosaic::REMOVE_SHRINK, 1},
};
const int kMosaicKindCount = int(sizeof(kMosaicKinds) / sizeof(kMosaicKinds[0]));
// Every mosaic made by type code.
const int kMosaicGridX = 10;
const int kMosaicGridY = 6;
const int kMosaicTilesPerRender = 2;

// A quarter, rounded toward minus infinity.
int floorQuarter(int v)
{
    return v >= 0 ? v / 4 : -((-(v + 1)) / 4) - 1;
}

// Everything an option table says, read before anything is made: reading
// may raise a Lua error, which must not skip the release of a transition.
struct LuaTransitionOptions {
    int type;
    int frames;
    int direction;
    bool srcMoves;
    bool fade;
    bool reverse;
    int mosaicStyle;
    int mosaicRemoval;
    int mosaicGridX;
    int mosaicGridY;
    int mosaicTilesPerRender;
    const char* mask;
    int maskX;
    int maskY;
    float maskScaleInit;
    float maskScaleEnd;
};

// The number at the top of the stack as an int, truncated toward zero and
// held to the int range (NaN reads as 0).
int topInteger(lua_State* L)
{
    double value = lua_tonumber(L, -1);
    if (std::isnan(value))
        return 0;
    if (value <= double(INT_MIN))
        return INT_MIN;
    if (value >= double(INT_MAX))
        return INT_MAX;
    return int(value);
}

// Pushes table[key]; true when it is a number (left pushed either way).
bool pushNumberField(lua_State* L, int table, const char* key)
{
    lua_getfield(L, table, key);
    return lua_type(L, -1) == LUA_TNUMBER;
}

int readInteger(lua_State* L, int table, const char* key, int fallback)
{
    int value = pushNumberField(L, table, key) ? topInteger(L) : fallback;
    lua_pop(L, 1);
    return value;
}

float readFloat(lua_State* L, int table, const char* key, float fallback)
{
    float value = pushNumberField(L, table, key) ? float(lua_tonumber(L, -1)) : fallback;
    lua_pop(L, 1);
    return value;
}

bool readBoolean(lua_State* L, int table, const char* key)
{
    lua_getfield(L, table, key);
    bool value = lua_type(L, -1) == LUA_TBOOLEAN && lua_toboolean(L, -1);
    lua_pop(L, 1);
    return value;
}

// The index in `names` of the string at the top of the stack; an unknown
// name is an argument error against the table.
int optionIndex(lua_State* L, int table, const char* key, const char* const names[])
{
    const char* name = lua_tostring(L, -1);
    for (int i = 0; names[i]; ++i)
        if (std::strcmp(names[i], name) == 0)
            return i;
    return luaL_argerror(L, table, lua_pushfstring(L, "invalid %s '%s'", key, name));
}

// The index of the option named by table[key] when it is a string, else
// the fallback; `required` makes a missing or non-string value an error.
int readOption(lua_State* L, int table, const char* key, const char* const names[], int fallback, bool required)
{
    lua_getfield(L, table, key);
    int index = fallback;
    if (lua_type(L, -1) == LUA_TSTRING)
        index = optionIndex(L, table, key, names);
    else if (required)
        luaL_argerror(L, table, lua_pushfstring(L, "'%s' must name a transition", key));
    lua_pop(L, 1);
    return index;
}

void readOptions(lua_State* L, int table, int defaultMaskX, int defaultMaskY, LuaTransitionOptions& o)
{
    int transition = readOption(L, table, "transition", kTransitionNames, 0, true);
    if (transition == 0)
        luaL_error(L, "Illegal transition type specified");
    o.type = kTransitionTypes[transition];
    o.frames = readInteger(L, table, "frames", TransitionBase::DEFAULT_FRAMES);
    o.direction = TransitionFactory::directionCode(readOption(L, table, "direction", kDirectionNames, 0, false));
    o.srcMoves = readBoolean(L, table, "srcMoves");
    o.fade = readBoolean(L, table, "fade");
    o.reverse = readBoolean(L, table, "reverse");
    o.mosaicStyle = readOption(L, table, "mosaicStyle", kMosaicStyles, 0, false);
    o.mosaicRemoval = readOption(L, table, "mosaicRemove", kMosaicRemovals, 0, false);
    // The grid must hold at least one tile and fit the mosaic's tile table.
    o.mosaicGridX = readInteger(L, table, "mosaicGridX", 10);
    o.mosaicGridY = readInteger(L, table, "mosaicGridY", 6);
    if (o.mosaicGridX < 1)
        o.mosaicGridX = 1;
    if (o.mosaicGridX > kMaxMosaicTiles)
        o.mosaicGridX = kMaxMosaicTiles;
    if (o.mosaicGridY < 1)
        o.mosaicGridY = 1;
    if (o.mosaicGridY > kMaxMosaicTiles / o.mosaicGridX)
        o.mosaicGridY = kMaxMosaicTiles / o.mosaicGridX;
    int tiles = readInteger(L, table, "mosaicNumTilesPerRender", 1);
    o.mosaicTilesPerRender = tiles >= 1 && tiles <= 8 ? tiles : 1;
    lua_getfield(L, table, "mask");
    // The text stays valid while the table holds it.
    o.mask = lua_type(L, -1) == LUA_TSTRING ? lua_tostring(L, -1) : nullptr;
    lua_pop(L, 1);
    if (o.type == TransitionFactory::MASK && !o.mask)
        luaL_argerror(L, table, "'mask' must name the mask image");
    o.maskX = readInteger(L, table, "maskX", defaultMaskX);
    o.maskY = readInteger(L, table, "maskY", defaultMaskY);
    o.maskScaleInit = readFloat(L, table, "maskScaleInit", 1.0f);
    o.maskScaleEnd = readFloat(L, table, "maskScaleEnd", 1.0f);
}

} // namespace

TransitionBase* TransitionFactory::create(int type, int x, int y, int width, int height,
                                          const lang::String& maskName, bool /*flag*/, int frames)
{
    TransitionBase* transition = nullptr;
    if (type >= WIPE && type <= WIPE + 7) {
        transition = new TransitionWipe(directionCode(type - WIPE + 1), atLeast(frames, 1), x, y, width, height, false);
    } else if (type >= BARN_DOOR && type <= BARN_DOOR + 3) {
        int orientation = type < BARN_DOOR + 2 ? TransitionBarnDoor::HORIZONTAL : TransitionBarnDoor::VERTICAL;
        transition = new TransitionBarnDoor(orientation, atLeast(frames, 2), x, y, width, height, false);
        transition->setReverse((type - BARN_DOOR) % 2 == 1);
    } else if (type >= MOSAIC && type < MOSAIC + kMosaicKindCount) {
        // The effect, checkerboard and louver styles divide by half the
        // frame count.
        const MosaicKind& kind = kMosaicKinds[type - MOSAIC];
        TransitionMosaic* mosaic = new TransitionMosaic(atLeast(frames, 2), x, y, width, height, false);
        mosaic->setStyle(kind.style);
        mosaic->setRemoveMode(kind.removal);
        mosaic->setDirection(kind.direction);
        mosaic->setGridSize(kMosaicGridX, kMosaicGridY);
        mosaic->setTilesPerRender(kMosaicTilesPerRender);
        transition = mosaic;
    } else if (type == MASK || type == MASK + 1) {
        TransitionMask* mask = new TransitionMask(atLeast(frames, 1), x, y, width, height, false);
        if (type == MASK) {
            mask->setMaskScale(0.5f, 10.0f);
        } else {
            mask->setMaskScale(10.0f, 0.5f);
            mask->setReverse(true);
        }
        if (!maskName.isEmpty()) {
            int index = mask->addImageByName(maskName);
            mask->setImagePosition(index, x + floorQuarter(width), y + floorQuarter(height));
        }
        transition = mask;
    }
    if (transition)
        transition->begin();
    return transition;
}

TransitionBase* TransitionFactory::createFullScreen(int type, int frames)
{
    return create(type, 0, 0, TransitionBase::SCREEN_WIDTH, TransitionBase::SCREEN_HEIGHT, lang::String(), false,
                  frames);
}

TransitionBase* TransitionFactory::create(int type, const util::RectangleNM& bounds, bool flag, int frames)
{
    return create(type, bounds.x, bounds.y, bounds.width, bounds.height, lang::String(), flag, frames);
}

TransitionBase* TransitionFactory::create(int type, const util::RectangleNM& bounds, const lang::String& maskName,
                                          bool flag, int frames)
{
    return create(type, bounds.x, bounds.y, bounds.width, bounds.height, maskName, flag, frames);
}

TransitionBase* TransitionFactory::createFromLuaTable(lua_State* L, const util::RectangleNM& bounds, bool useBounds,
                                                      int defaultMaskX, int defaultMaskY)
{
    int table = lua_gettop(L);
    luaL_checktype(L, table, LUA_TTABLE);
    LuaTransitionOptions options{};
    readOptions(L, table, defaultMaskX, defaultMaskY, options);

    TransitionBase* transition = useBounds ? create(options.type, bounds, false, options.frames)
                                           : createFullScreen(options.type, options.frames);
    if (!transition)
        return nullptr;
    transition->setDirection(options.direction);
    transition->setSrcMoves(options.srcMoves);
    transition->setFade(options.fade);
    transition->setReverse(options.reverse);
    if (options.type == MOSAIC) {
        TransitionMosaic* mosaic = static_cast<TransitionMosaic*>(transition);
        mosaic->setStyle(options.mosaicStyle);
        mosaic->setRemoveMode(options.mosaicRemoval);
        mosaic->setGridSize(options.mosaicGridX, options.mosaicGridY);
        mosaic->setTilesPerRender(options.mosaicTilesPerRender);
    } else if (options.type == MASK) {
        TransitionMask* mask = static_cast<TransitionMask*>(transition);
        int index = mask->addImageByName(lang::String(options.mask));
        mask->setImagePosition(index, options.maskX, options.maskY);
        mask->setMaskScale(options.maskScaleInit, options.maskScaleEnd);
    }
    return transition;
}

int TransitionFactory::directionCode(int index)
{
    static const int codes[] = {1, 2, 4, 8, 3, 6, 9, 12, 1, 2};
    return index >= 1 && index <= 10 ? codes[index - 1] : 0;
}

} // namespace sprite
