// SpriteFramework.cpp: the ordered start-up and teardown of the sprite
// framework's process-wide objects.
#include "sprites/loader/SpriteFramework.h"

#include "core/lang/MetaclassList.h"
#include "core/util/Vector.h"
#include "sprites/base/BoundsSprite.h"
#include "sprites/base/SpriteBaseLua.h"
#include "sprites/buttons/ButtonSprite.h"
#include "sprites/buttons/RectButtonSprite.h"
#include "sprites/containers/FancyContainer.h"
#include "sprites/dialogs/BorderedDialog.h"
#include "sprites/dialogs/DialogSprite.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/images/ImageSprite.h"
#include "sprites/images/ScalerSprite.h"
#include "sprites/images/TiledSprite.h"
#include "sprites/particles/ExplosionSpritePSX.h"
#include "sprites/particles/ParticleSpritePSX.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/script/Utility.h"
#include "sprites/shapes/RectSprite.h"
#include "sprites/text/NewFontSprite.h"
#include "sprites/text/NumberSprite.h"
#include "sprites/text/TextSprite.h"
#include "sprites/transitions/TransitionBarnDoor.h"
#include "sprites/transitions/TransitionBase.h"
#include "sprites/transitions/TransitionFactory.h"
#include "sprites/transitions/TransitionMask.h"
#include "sprites/transitions/TransitionMosaic.h"
#include "sprites/transitions/TransitionScale.h"
#include "sprites/transitions/TransitionWipe.h"

#include <new>

namespace sprite {

const char* const SpriteFramework::kClassNames[] = {
    "DialogSprite",      "FancyContainer",     "AnimateSprite",      "BoundsSprite",     "Sprite",
    "ScalerSprite",      "NewFontSprite",      "ButtonSprite",       "TransitionFactory", "TransitionWipe",
    "TransitionBarnDoor", "TransitionMosaic",  "TransitionScale",    "RectButtonSprite", "TextSprite",
    "NumberSprite",      "RectSprite",         "TransitionMask",     "ParticleSpritePSX", "ExplosionSpritePSX",
    "TransitionBase",    "BorderedDialog",     "TiledSprite",
};
const int SpriteFramework::kClassCount = int(sizeof kClassNames / sizeof kClassNames[0]);

bool SpriteFramework::s_bStarted = false;

namespace {

// The metaclasses in their order of creation; deleted from the back.
lang::MetaclassList& metaclasses()
{
    static lang::MetaclassList made;
    return made;
}

// The list the framework made for the Lua-animated sprites (null when none).
util::Vector* s_luaAnimated = nullptr;

template <class Metaclass>
void make()
{
    metaclasses().make<Metaclass>();
}

} // namespace

void SpriteFramework::startUp()
{
    if (s_bStarted)
        return;
    s_bStarted = true;
    // The one script host; when it cannot be made every Lua call finds no
    // state and the program goes on without scripts.
    if (!ScriptHost::instance)
        new (std::nothrow) ScriptHost();
    SpriteBaseLua::connect();
    Utility::instance();
    registerClasses();
}

void SpriteFramework::tearDown()
{
    if (!s_bStarted)
        return;
    s_bStarted = false;
    unregisterClasses();
    SpriteBaseLua::disconnect();
}

bool SpriteFramework::areClassesRegistered()
{
    return !metaclasses().empty();
}

void SpriteFramework::registerClasses()
{
    if (areClassesRegistered())
        return;
    make<DialogSprite::DialogSpriteClass>();
    make<FancyContainer::FancyContainerClass>();
    make<AnimateSprite::AnimateSpriteClass>();
    make<BoundsSprite::BoundsSpriteClass>();
    make<ImageSprite::ImageSpriteClass>();
    make<ScalerSprite::ScalerSpriteClass>();
    make<NewFontSprite::NewFontSpriteClass>();
    make<ButtonSprite::ButtonSpriteClass>();
    make<TransitionFactory::TransitionFactoryClass>();
    make<TransitionWipe::TransitionWipeClass>();
    make<TransitionBarnDoor::TransitionBarnDoorClass>();
    make<TransitionMosaic::TransitionMosaicClass>();
    make<TransitionScale::TransitionScaleClass>();
    make<RectButtonSprite::RectButtonSpriteClass>();
    make<TextSprite::TextSpriteClass>();
    make<NumberSprite::NumberSpriteClass>();
    make<RectSprite::RectSpriteClass>();
    // Capacity 10: a handful of scripted sprites animate at once.
    s_luaAnimated = new util::Vector(10);
    FancyContainer::luaAnimatedSprites = s_luaAnimated;
    make<TransitionMask::TransitionMaskClass>();
    make<ParticleSpritePSX::ParticleSpritePSXClass>();
    make<ExplosionSpritePSX::ExplosionSpritePSXClass>();
    make<TransitionBase::TransitionBaseClass>();
    make<BorderedDialog::BorderedDialogClass>();
    make<TiledSprite::TiledSpriteClass>();
}

void SpriteFramework::unregisterClasses()
{
    lang::MetaclassList& made = metaclasses();
    // The list was made after the seventeenth metaclass: it goes between
    // the same two on the way back.
    const size_t listAfter = 17;
    while (!made.empty()) {
        if (made.size() == listAfter && s_luaAnimated) {
            if (FancyContainer::luaAnimatedSprites == s_luaAnimated)
                FancyContainer::luaAnimatedSprites = nullptr;
            s_luaAnimated->release();
            s_luaAnimated = nullptr;
        }
        // The metaclass leaves the registry in its destructor; the
        // registry's own reference goes with it.
        made.deleteLast();
    }
}

} // namespace sprite
