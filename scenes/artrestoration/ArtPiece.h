// ArtPiece.h: one tile of the art restoration's board: a frame of its
// painting's picture cut into a grid, standing in one cell of the board (its
// slot) until the player swaps it; at home when the slot is its own cell.
// It paints itself at its slot's cell with its selection frame over it.
#pragma once

#include "sprites/images/AnimateSprite.h"

class ArtRestoration;

class ArtPiece : public sprite::AnimateSprite {
public:
    // The selection frame's frames.
    static constexpr int FRAME_PLAIN = 0;
    static constexpr int FRAME_HOVER = 1;
    static constexpr int FRAME_SELECTED = 2;
    // The selection frame stands this far up and left of its cell.
    static constexpr int FRAME_MARGIN = 4;

    // Painting `painting`'s picture cut into columns x rows frames.
    ArtPiece(window::ImageBase* picture, int columns, int rows, int painting);
    // Releases the selection frame.
    ~ArtPiece() override;

    HV_CLASS_NAME("ArtPiece", sprite::AnimateSprite)
    HV_DECLARE_METACLASS(ArtPiece);

    // Shows its own frame at its slot's cell (unless it is being swapped)
    // and the selection frame, hover or selection over it.
    void paint(window::Graphics* g) override;
    // Frames play only while the instructions are away and the game plays.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;

    // The tile's cells and its room; its selection frame made from the
    // room's "ArtSelection<order value>".
    void setup(int slot, int home, ArtRestoration* room);
    // Selected or not, by the player's click.
    void click();
    // Neither selected nor hovered; the room's frames hidden.
    void deselect();

    bool isHome() const { return m_nSlot == m_nHome; }
    int getSlot() const { return m_nSlot; }
    void setSlot(int slot) { m_nSlot = slot; }
    int getHome() const { return m_nHome; }
    int getPainting() const { return m_nPainting; }
    bool isSelected() const { return m_bSelected; }
    bool isHovered() const { return m_bHovered; }
    void setHovered(bool hovered) { m_bHovered = hovered; }
    void clearMarks()
    {
        m_bSelected = false;
        m_bHovered = false;
    }
    sprite::SpriteBase* getSelectionFrame() const { return m_pSelectionFrame; }

private:
    int m_nSlot;
    int m_nHome;
    int m_nPainting;
    bool m_bSelected;
    bool m_bHovered;
    ArtRestoration* m_pRoom;
    sprite::SpriteBase* m_pSelectionFrame;
};
