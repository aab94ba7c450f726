// LanternfieldCanvasCursors.cpp: the game's own mouse cursor: the table of
// its 59 cursors (names, pictures, masks, frame grids), the ordinary and
// special cursors put on the "GameCursor" sprite, and its place for the
// pointer.
#include "game/canvas/LanternfieldCanvas.h"

#include "game/inventory/Inventory.h"
#include "sprites/base/SpriteBase.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/images/ImageSprite.h"
#include "windowing/d3d/ImageWinDX.h"
#include "windowing/window/Cursor.h"

namespace {

struct CursorRow {
    const char* name;
    // The archive picture and its alpha mask ("" for none) of a special
    // cursor; the ordinary ones are "+iCursor_" and their index.
    const char* image;
    const char* mask;
    int columns;
    int rows;
};

const CursorRow kCursors[LanternfieldCanvas::CURSOR_COUNT] = {
    {"north", "", "", 1, 1},
    {"south", "", "", 1, 1},
    {"east", "", "", 1, 1},
    {"west", "", "", 1, 1},
    {"northwest", "", "", 1, 1},
    {"northeast", "", "", 1, 1},
    {"southwest", "", "", 1, 1},
    {"southeast", "", "", 1, 1},
    {"normalCursor", "", "", 1, 1},
    {"handCursor", "", "", 1, 1},
    {"fountainKey", "+iCursor_10", "", 1, 1},
    {"spin", "+iCursor_11", "", 1, 1},
    {"Key_OnGround", "+iCursor_12", "", 1, 1},
    {"Fuse_GreenOnGround", "+iCursor_13", "", 1, 1},
    {"Fuse_BlueOnGround", "+iCursor_14", "", 1, 1},
    {"Fuse_PurpleOnGround", "+iCursor_15", "", 1, 1},
    {"Fuse_YellowOnGround", "+iCursor_16", "", 1, 1},
    {"OilCan", "+iCursor_17", "", 1, 1},
    {"Diode", "+iCursor_18", "", 1, 1},
    {"Moon", "+contraption_moon", "+contraption_moon_alpha", 1, 1},
    {"Fish", "+contraption_fish", "+contraption_fish_alpha", 1, 1},
    {"Sun", "+contraption_sun", "+contraption_sun_alpha", 1, 1},
    {"Spear", "+CaveEntrance_ItemPlaced_1", "+CaveEntrance_ItemPlaced_1_alpha", 1, 1},
    {"Earring", "+CaveEntrance_ItemPlaced_2", "+CaveEntrance_ItemPlaced_2_alpha", 1, 1},
    {"Crown", "+CaveEntrance_ItemPlaced_3", "+CaveEntrance_ItemPlaced_3_alpha", 1, 1},
    {"Orb", "+CaveEntrance_ItemPlaced_4", "+CaveEntrance_ItemPlaced_4_alpha", 1, 1},
    {"Spearhead", "+CaveEntrance_ItemPlaced_5", "+CaveEntrance_ItemPlaced_5_alpha", 1, 1},
    {"CircleBit_1", "+CaveEntrance_ItemPlaced_6", "+CaveEntrance_ItemPlaced_6_alpha", 1, 1},
    {"CircleBit_2", "+CaveEntrance_ItemPlaced_7", "+CaveEntrance_ItemPlaced_7_alpha", 1, 1},
    {"Shovel", "+Temple3_Cursor_Shovel", "+Temple3_Cursor_Shovel_alpha", 1, 1},
    {"ShovelWithDirt", "+Temple3_Cursor_ShovelFull", "+Temple3_Cursor_ShovelFull_alpha", 1, 1},
    {"Chalice", "+Temple3_Cursor_Chalice", "+Temple3_Cursor_Chalice_alpha", 1, 1},
    {"ChaliceWithWater", "+Temple3_Cursor_ChaliceFull", "+Temple3_Cursor_ChaliceFull_alpha", 1, 1},
    {"Torch", "+Temple3_Cursor_Torch", "+Temple3_Cursor_Torch_alpha", 1, 1},
    // The burning torches are animated.
    {"TorchWithFire", "+Temple3_Cursor_TorchOnFire", "+Temple3_Cursor_TorchOnFire_alpha", 6, 4},
    {"Hammer", "+Temple3_Cursor_Hammer", "+Temple3_Cursor_Hammer_alpha", 1, 1},
    {"Plant", "+Temple3_Cursor_Plant", "+Temple3_Cursor_Plant_alpha", 1, 1},
    {"Peg_1", "+iCursor_Peg_1", "", 1, 1},
    {"Peg_2", "+iCursor_Peg_2", "", 1, 1},
    {"Peg_3", "+iCursor_Peg_3", "", 1, 1},
    {"Machete", "+iCursor_Machete", "", 1, 1},
    {"ClubTorch", "+iClubTorchicon", "+iClubTorchicon_alpha", 7, 5},
    // The paintbrush shows the frame its caller gives (its paint colour).
    {"Paintbrush", "+OuterSanctum_Cursor", "+OuterSanctum_Cursor_alpha", 8, 1},
    {"StickSmall", "+iCursor_Stick_Small", "", 1, 1},
    {"StickMedium", "+iCursor_Stick_Medium", "", 1, 1},
    {"StickLarge", "+iCursor_Stick_Tall", "", 1, 1},
    {"Prism", "+iCursor_Prism", "", 1, 1},
    {"Stone1", "+temple2_StoneChunk_01", "+temple2_StoneChunk_Alpha_01", 1, 1},
    {"Stone2", "+temple2_StoneChunk_02", "+temple2_StoneChunk_Alpha_02", 1, 1},
    {"Temple2Stick", "+iCursor_Temple2Stick", "", 1, 1},
    {"Vase", "+iCursor_Vase", "", 1, 1},
    {"VaseWithWater", "+iCursor_VaseWithWater", "", 1, 1},
    {"Bouquet", "+iCursor_Bouquet", "", 1, 1},
    {"Box", "+iCursor_Box", "", 1, 1},
    {"Cypher", "+iCursor_Cypher", "", 1, 1},
    {"Seahorse", "+iCursor_Seahorse", "", 1, 1},
    {"Pearls", "+iCursor_Pearls", "", 1, 1},
    {"X", "+iCursor_X", "", 1, 1},
    {"hidden", nullptr, nullptr, 0, 0},
};

// The last index cursorNameOf names: "X" (57) and "hidden" (58) have no name.
constexpr int kLastNamedCursor = 56;

} // namespace

int LanternfieldCanvas::cursorIndexOf(const lang::String& name)
{
    for (int i = 0; i < CURSOR_COUNT; ++i) {
        if (name.equals(kCursors[i].name))
            return i;
    }
    return CURSOR_NORMAL;
}

lang::String LanternfieldCanvas::cursorNameOf(int index)
{
    return lang::String(index >= 0 && index <= kLastNamedCursor ? kCursors[index].name : "");
}

void LanternfieldCanvas::setCursor(int index, bool lock)
{
    if (index == m_nCurrentCursor && lock == m_bCursorLock)
        return;
    if (index == CURSOR_HIDDEN) {
        m_nCurrentCursor = index;
        m_bCursorLock = lock;
        showCursorSprite(false);
        setCursor(window::Cursor::blankCursor);
        return;
    }
    // Special cursors go through setSpecialCursor.
    if (index < 0 || index >= FIRST_SPECIAL_CURSOR)
        return;
    m_nCurrentCursor = index;
    m_bCursorLock = lock;
    lang::String image("+iCursor_");
    image += index;
    loadCursorImage(image, lang::String(""), 1, 1, -1);
    m_nCursorPicture = index;
    // The game draws its own cursor: the window shows none over it.
    setCursor(window::Cursor::blankCursor);
}

void LanternfieldCanvas::setSpecialCursor(int index, bool heldItem, int frame)
{
    if (index < FIRST_SPECIAL_CURSOR)
        return;
    m_bHeldItem = heldItem;
    m_nItemOnCursor = index;
    m_bCursorLock = true;
    m_nCurrentCursor = index;
    setCursor(window::Cursor::blankCursor);
    if (index >= CURSOR_HIDDEN)
        return;
    const CursorRow& row = kCursors[index];
    const int shown = index == CURSOR_PAINTBRUSH ? frame : -1;
    if (index == CURSOR_PAINTBRUSH)
        m_nSpecialFrame = frame;
    // The pointer's moves set the cursor again and again: a picture already
    // on the sprite stays, so that an animated cursor keeps running.
    if (m_nCursorPicture == index && m_nCursorPictureFrame == shown && m_pGameCursor && m_pGameCursor->isVisible())
        return;
    loadCursorImage(lang::String(row.image), lang::String(row.mask), row.columns, row.rows, shown);
    m_nCursorPicture = index;
    m_nCursorPictureFrame = shown;
}

void LanternfieldCanvas::restoreSpecialCursor()
{
    setSpecialCursor(m_nItemOnCursor, m_bHeldItem, m_nSpecialFrame);
}

void LanternfieldCanvas::dropSpecialCursor()
{
    if (isHeldItemOnCursor()) {
        if (m_pInventory)
            m_pInventory->releaseHeldItem();
        m_bHeldItem = false;
    }
    setCursor(CURSOR_NORMAL, false);
    m_nItemOnCursor = -1;
    m_nSpecialFrame = -1;
}

void LanternfieldCanvas::dropInvalidCursorItem()
{
    playSound(SOUND_INVALID_ITEM);
    dropSpecialCursor();
}

sprite::SpriteBase* LanternfieldCanvas::getHeldItemSprite()
{
    return m_pInventory ? m_pInventory->getHeldItem() : nullptr;
}

void LanternfieldCanvas::loadCursorImage(const lang::String& image, const lang::String& mask, int columns,
                                         int rows, int frame)
{
    m_pGameCursor = getSprite("GameCursor");
    if (!m_pGameCursor)
        return;
    auto* picture = new window::ImageWinDX(image);
    if (!mask.isEmpty()) {
        auto* alpha = new window::ImageWinDX(mask);
        picture->setMask(alpha);
        alpha->release();
    }
    if (m_pGameCursor->isInstanceOf("AnimateSprite")) {
        auto* cursor = static_cast<sprite::AnimateSprite*>(m_pGameCursor);
        cursor->setGrid(picture, columns, rows);
        cursor->setFrameStep(0, false);
        if (columns <= 1 && rows <= 1)
            cursor->setFrame(0);
        else if (frame == -1)
            cursor->playAnimation(0, -1, -1, 1, false, 1);
        else
            cursor->setFrame(frame);
    } else if (m_pGameCursor->isInstanceOf("ImageSprite")) {
        static_cast<sprite::ImageSprite*>(m_pGameCursor)->setImage(picture);
    }
    m_pGameCursor->setVisible(true);
    m_nCursorPictureFrame = -1;
    picture->release();
}

void LanternfieldCanvas::showCursorSprite(bool show)
{
    if (!m_pGameCursor)
        m_pGameCursor = getSprite("GameCursor");
    if (m_pGameCursor)
        m_pGameCursor->setVisible(show);
    // Never two cursors: the window shows none while the game draws its own.
    if (show && m_pGameCursor)
        setCursor(window::Cursor::blankCursor);
}

void LanternfieldCanvas::positionCursorImage(int x, int y)
{
    if (!m_pGameCursor)
        m_pGameCursor = getSprite("GameCursor");
    if (!m_pGameCursor)
        return;
    const int w = m_pGameCursor->width();
    const int h = m_pGameCursor->height();
    // The hot spot of each cursor picture.
    switch (m_nCurrentCursor) {
    case 0: x -= 14; break;
    case 1: x -= 14; y -= h - 13; break;
    case 2: x -= w - 6; y -= 13; break;
    case 3: x -= 3; y -= 7; break;
    case 5: x -= 37; y -= 2; break;
    case CURSOR_NORMAL: y -= 2; break;
    case CURSOR_HAND:
    case 10: x -= 10; y -= 2; break;
    case 12: x -= w - 6; y -= 2; break;
    case 40:
    case 41: x -= w / 2; y -= h / 2; break;
    default: break;
    }
    m_pGameCursor->setPosition(x, y);
}
