// ArtPiece.cpp: a tile of the art restoration: its cell, its selection frame
// and its painting.
#include "scenes/artrestoration/ArtPiece.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "platform/kernel/DebugOutput.h"
#include "scenes/artrestoration/ArtRestoration.h"
#include "scenes/common/SceneRoom.h"

#include <string>

HV_DEFINE_METACLASS_WITH(ArtPiece, nullptr, 1, 1, 0);

namespace {

void frameOf(sprite::SpriteBase* frame, int n)
{
    if (frame && frame->isInstanceOf("AnimateSprite"))
        static_cast<sprite::AnimateSprite*>(frame)->setFrame(n);
}

} // namespace

ArtPiece::ArtPiece(window::ImageBase* picture, int columns, int rows, int painting)
    : sprite::AnimateSprite(picture, columns, rows),
      m_nSlot(0),
      m_nHome(0),
      m_nPainting(painting),
      m_bSelected(false),
      m_bHovered(false),
      m_pRoom(nullptr),
      m_pSelectionFrame(nullptr)
{
}

ArtPiece::~ArtPiece()
{
    if (m_pSelectionFrame)
        m_pSelectionFrame->release();
}

void ArtPiece::setup(int slot, int home, ArtRestoration* room)
{
    m_nSlot = slot;
    m_nHome = home;
    m_pRoom = room;
    if (m_pSelectionFrame) {
        m_pSelectionFrame->release();
        m_pSelectionFrame = nullptr;
    }
    const std::string name = "ArtSelection" + std::to_string(room->getOrderValue(m_nPainting));
    if (sprite::SpriteBase* model = SceneRoom::find(room, name.c_str())) {
        m_pSelectionFrame = model->clone();
        m_pSelectionFrame->setPosition(left() - FRAME_MARGIN, top() - FRAME_MARGIN);
    }
}

void ArtPiece::click()
{
    OutputDebugStringA("ArtPiece: click()\n");
    m_bSelected = !m_bSelected;
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->setDirty(true);
}

void ArtPiece::deselect()
{
    frameOf(m_pSelectionFrame, FRAME_PLAIN);
    m_bSelected = false;
    m_bHovered = false;
    if (m_pRoom) {
        m_pRoom->showFrameAt(ArtRestoration::FRAME_KIND_HOVER, 0, 0, false);
        m_pRoom->showFrameAt(ArtRestoration::FRAME_KIND_SELECTED, 0, 0, false);
    }
}

void ArtPiece::paint(window::Graphics* g)
{
    setFrame(m_nHome);
    if (m_pRoom && m_pRoom->isSwapping(this)) {
        if (m_pSelectionFrame) {
            m_pSelectionFrame->setPosition(left() - FRAME_MARGIN, top() - FRAME_MARGIN);
            frameOf(m_pSelectionFrame, FRAME_PLAIN);
        }
    } else if (m_pRoom) {
        int x = 0;
        int y = 0;
        m_pRoom->cellPosition(m_nSlot, x, y);
        setPosition(x, y);
        if (m_pSelectionFrame) {
            m_pSelectionFrame->setPosition(x - FRAME_MARGIN, y - FRAME_MARGIN);
            m_pSelectionFrame->setVisible(true);
        }
        if (m_bSelected) {
            m_pRoom->showFrameAt(ArtRestoration::FRAME_KIND_SELECTED, x, y, true);
        } else if (isHome()) {
            if (m_pSelectionFrame)
                m_pSelectionFrame->setVisible(false);
        } else if (m_bHovered) {
            m_pRoom->showFrameAt(ArtRestoration::FRAME_KIND_HOVER, x, y, true);
        } else {
            frameOf(m_pSelectionFrame, FRAME_PLAIN);
        }
    }
    sprite::ImageSprite::paint(g);
    if (m_pSelectionFrame && m_pSelectionFrame->isVisible())
        m_pSelectionFrame->draw(g);
}

bool ArtPiece::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (!c || c->isGameInstructionsShowing() || c->getGameState() != LanternfieldCanvas::STATE_PLAYING)
        return false;
    return sprite::AnimateSprite::tick(frame, boundsOut, region);
}
