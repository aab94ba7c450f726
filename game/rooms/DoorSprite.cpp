// DoorSprite.cpp: the exit's definition and its rollover.
#include "game/rooms/DoorSprite.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/inventory/Inventory.h"
#include "game/rooms/Room.h"
#include "sprites/base/DefinitionArgs.h"
#include "windowing/images/ImageBase.h"

using sprite::DefinitionArgs;

HV_DEFINE_METACLASS(DoorSprite);

DoorSprite::DoorSprite()
    : m_nDirection(-1),
      m_nTargetRoom(-1),
      m_nOwnerRoom(-1),
      m_nTransitionFrames(24),
      m_nDoorType(0),
      m_pZoomImage(nullptr),
      m_nZoomX(0),
      m_nZoomY(0),
      m_fZoomScaleFrom(1.0f),
      m_fZoomScaleTo(1.0f)
{
}

DoorSprite::~DoorSprite()
{
    if (m_pZoomImage)
        m_pZoomImage->release();
    m_pZoomImage = nullptr;
}

bool DoorSprite::configure(lang::ObjectArray* resources, lang::IntArray* params)
{
    const int count = DefinitionArgs::count(params);
    if (count < MIN_NUMBERS)
        return false;
    if (!sprite::RectButtonSprite::configure(resources, params))
        return false;
    setState(DefinitionArgs::number(params, 4));
    m_nOwnerRoom = DefinitionArgs::number(params, 5);
    m_nDirection = DefinitionArgs::number(params, 6);
    m_nTargetRoom = DefinitionArgs::number(params, 7);
    m_nDoorType = DefinitionArgs::number(params, 8, TYPE_DOOR);
    m_nTransitionFrames = DefinitionArgs::number(params, 9, 24);
    if (count < ZOOM_NUMBERS)
        return m_nDoorType != TYPE_ZOOM_GROW && m_nDoorType != TYPE_ZOOM_SHRINK;
    // The zoom image: exactly one, and it must be a picture.
    if (DefinitionArgs::imageCount(resources) != 1)
        return false;
    window::ImageBase* image = DefinitionArgs::image(resources, 0);
    if (!image)
        return false;
    image->addRef();
    if (m_pZoomImage)
        m_pZoomImage->release();
    m_pZoomImage = image;
    // A definition of 11 to 13 numbers gives only some zoom values; the
    // others keep their construction defaults.
    m_nZoomX = DefinitionArgs::number(params, 10, m_nZoomX);
    m_nZoomY = DefinitionArgs::number(params, 11, m_nZoomY);
    if (count > 12)
        m_fZoomScaleFrom = float(DefinitionArgs::number(params, 12) / 100.0);
    if (count > 13)
        m_fZoomScaleTo = float(DefinitionArgs::number(params, 13) / 100.0);
    return true;
}

bool DoorSprite::mouseMoved(int x, int y)
{
    if (m_nState == DISABLED)
        return false;
    const bool over = hittest(x, y);
    LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
    Inventory* inventory = canvas ? canvas->getInventory() : nullptr;
    // With an inventory item in play the cursor belongs to the item.
    if (canvas && canvas->hasItemOnCursor())
        return over;
    if (inventory && (inventory->isHoveringItem() || inventory->hitTestItems(x, y)))
        return over;
    ButtonMixin::setMouseOver(over);
    Room* owner = canvas ? canvas->getRoom(m_nOwnerRoom) : nullptr;
    if (owner && over)
        owner->updateHover(x, y, m_nDirection);
    return over;
}
