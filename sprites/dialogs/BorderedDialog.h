// BorderedDialog.h: a dialog that frames itself with nine pictures: four
// corners kept at their own size, four edges and a centre tiled over what
// the dialog's size leaves them, so one small set of pictures frames a
// dialog of any size (the game's speech balloons resize it to their text).
#pragma once

#include "sprites/dialogs/DialogSprite.h"

namespace sprite {

class ImageSprite;
class TiledSprite;

class BorderedDialog : public DialogSprite {
public:
    // The slots of the frame's pictures in a definition's image list.
    enum Piece {
        TOP_LEFT,
        TOP,
        TOP_RIGHT,
        RIGHT,
        BOTTOM_RIGHT,
        BOTTOM,
        BOTTOM_LEFT,
        LEFT,
        CENTRE,
        PIECE_COUNT
    };

    // A dialog that is not modal and has no frame yet.
    BorderedDialog();
    // Lets go of the frame's pieces; the children go with the dialog.
    ~BorderedDialog() override;

    HV_CLASS_NAME("BorderedDialog", DialogSprite)
    HV_DECLARE_METACLASS(BorderedDialog);

    // The dialog's numbers (position, size, modal, visible, draggable), then
    // the frame from images 0 to 8 in the order of Piece. A missing or empty
    // slot leaves that piece out, and it counts as 0 pixels thick.
    bool configure(lang::ObjectArray* resources, lang::IntArray* params) override;
    // A dialog of this size and place with a copy of the frame; the other
    // children are not copied.
    SpriteBase* clone() override;

    // Gives the dialog the new size (its top-left corner stays) and lays the
    // frame out again: corners to the corners, edges and centre stretched
    // over what is left between them.
    virtual void resize(int width, int height);
    // The same as resize: every change of the dialog's size lays out its frame.
    void setSize(int width, int height) override;

private:
    // Drops the frame (its pieces leave the children at the next tick).
    void dropFrame();
    // Puts a piece on top of the children, keeping its pixels while the
    // dialog is hidden; the dialog takes over the caller's reference.
    void adoptCorner(ImageSprite*& field, ImageSprite* piece);
    void adoptTiles(TiledSprite*& field, TiledSprite* piece);
    // Places and sizes the pieces for the dialog's current size.
    void layOut();

    // Each piece is also one of the children; the dialog holds its own
    // reference too, so that a piece taken out of the list by other code
    // is never reached after it is gone.
    ImageSprite* m_pTopLeft;
    TiledSprite* m_pTop;
    ImageSprite* m_pTopRight;
    TiledSprite* m_pRight;
    ImageSprite* m_pBottomRight;
    TiledSprite* m_pBottom;
    ImageSprite* m_pBottomLeft;
    TiledSprite* m_pLeft;
    TiledSprite* m_pCentre;
};

} // namespace sprite
