// BorderedDialog.cpp: the dialog framed by nine pictures: making the frame
// from a definition, laying it out for a size, and copying it.
#include "sprites/dialogs/BorderedDialog.h"

#include "core/lang/Synchronized.h"
#include "sprites/base/DefinitionArgs.h"
#include "sprites/images/ImageSprite.h"
#include "sprites/images/TiledSprite.h"
#include "windowing/images/ImageBase.h"

#include <climits>

namespace sprite {

HV_DEFINE_METACLASS(BorderedDialog);

namespace {

// A coordinate worked out in 64 bits, brought back into int range.
int coordinate(long long v)
{
    return v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : int(v);
}

// A length worked out in 64 bits: a dialog smaller than its corners leaves
// the edges and the centre no room, never a negative size.
int length(long long v)
{
    return v < 0 ? 0 : v > INT_MAX ? INT_MAX : int(v);
}

// The size of a corner (0 x 0 when the frame has none there).
int widthOf(ImageSprite* corner)
{
    return corner ? corner->width() : 0;
}

int heightOf(ImageSprite* corner)
{
    return corner ? corner->height() : 0;
}

// The thickness of an edge is its picture's (0 when the frame has none there).
int imageWidthOf(TiledSprite* edge)
{
    return edge && edge->getImage() ? edge->getImage()->getWidth() : 0;
}

int imageHeightOf(TiledSprite* edge)
{
    return edge && edge->getImage() ? edge->getImage()->getHeight() : 0;
}

void place(SpriteBase* piece, long long x, long long y)
{
    if (piece)
        piece->setPosition(coordinate(x), coordinate(y));
}

void stretch(TiledSprite* piece, long long w, long long h)
{
    if (piece)
        piece->setSize(length(w), length(h));
}

// A corner showing the picture, or null without one (one reference).
ImageSprite* makeCorner(window::ImageBase* image)
{
    if (!image)
        return nullptr;
    ImageSprite* corner = new ImageSprite();
    corner->setImage(image);
    return corner;
}

// An edge or centre tiled with the picture at the picture's size, or null
// without one (one reference).
TiledSprite* makeTiles(window::ImageBase* image)
{
    if (!image)
        return nullptr;
    return new TiledSprite(image->getWidth(), image->getHeight(), image, 0, 0, 0, 0);
}

} // namespace

BorderedDialog::BorderedDialog()
    : DialogSprite(false),
      m_pTopLeft(nullptr),
      m_pTop(nullptr),
      m_pTopRight(nullptr),
      m_pRight(nullptr),
      m_pBottomRight(nullptr),
      m_pBottom(nullptr),
      m_pBottomLeft(nullptr),
      m_pLeft(nullptr),
      m_pCentre(nullptr)
{
}

BorderedDialog::~BorderedDialog()
{
    SpriteBase* pieces[] = {m_pTopLeft, m_pTop,        m_pTopRight, m_pRight, m_pBottomRight,
                            m_pBottom,  m_pBottomLeft, m_pLeft,     m_pCentre};
    for (SpriteBase* piece : pieces)
        if (piece)
            piece->release();
}

void BorderedDialog::adoptCorner(ImageSprite*& field, ImageSprite* piece)
{
    field = piece;
    if (!piece)
        return;
    piece->setKeepLoaded(true);
    bringToFront(piece);
}

void BorderedDialog::adoptTiles(TiledSprite*& field, TiledSprite* piece)
{
    field = piece;
    if (!piece)
        return;
    piece->setKeepImages(true);
    bringToFront(piece);
}

void BorderedDialog::dropFrame()
{
    SpriteBase* pieces[] = {m_pTopLeft, m_pTop,        m_pTopRight, m_pRight, m_pBottomRight,
                            m_pBottom,  m_pBottomLeft, m_pLeft,     m_pCentre};
    for (SpriteBase* piece : pieces) {
        if (!piece)
            continue;
        removeChild(piece);
        piece->release();
    }
    m_pTopLeft = m_pTopRight = m_pBottomRight = m_pBottomLeft = nullptr;
    m_pTop = m_pRight = m_pBottom = m_pLeft = m_pCentre = nullptr;
}

bool BorderedDialog::configure(lang::ObjectArray* resources, lang::IntArray* params)
{
    DialogSprite::configure(resources, params);
    lang::Synchronized guard(this, true);
    // A second definition replaces the frame instead of stacking another.
    dropFrame();
    auto image = [resources](Piece piece) { return DefinitionArgs::image(resources, piece); };
    // Made in this order, so the centre lies on top of the edges and corners.
    adoptCorner(m_pTopLeft, makeCorner(image(TOP_LEFT)));
    adoptCorner(m_pTopRight, makeCorner(image(TOP_RIGHT)));
    adoptTiles(m_pTop, makeTiles(image(TOP)));
    adoptCorner(m_pBottomRight, makeCorner(image(BOTTOM_RIGHT)));
    adoptTiles(m_pRight, makeTiles(image(RIGHT)));
    adoptCorner(m_pBottomLeft, makeCorner(image(BOTTOM_LEFT)));
    adoptTiles(m_pBottom, makeTiles(image(BOTTOM)));
    adoptTiles(m_pLeft, makeTiles(image(LEFT)));
    adoptTiles(m_pCentre, makeTiles(image(CENTRE)));
    layOut();
    return true;
}

void BorderedDialog::resize(int width, int height)
{
    setSize(width, height);
}

void BorderedDialog::setSize(int width, int height)
{
    lang::Synchronized guard(this, true);
    DialogSprite::setSize(width, height);
    layOut();
}

void BorderedDialog::layOut()
{
    const long long w = width();
    const long long h = height();
    const int topLeftW = widthOf(m_pTopLeft), topLeftH = heightOf(m_pTopLeft);
    const int topRightW = widthOf(m_pTopRight), topRightH = heightOf(m_pTopRight);
    const int bottomRightW = widthOf(m_pBottomRight), bottomRightH = heightOf(m_pBottomRight);
    const int bottomLeftW = widthOf(m_pBottomLeft), bottomLeftH = heightOf(m_pBottomLeft);
    const int topH = imageHeightOf(m_pTop);
    const int bottomH = imageHeightOf(m_pBottom);
    const int rightW = imageWidthOf(m_pRight);
    const int leftW = imageWidthOf(m_pLeft);

    // Positions are in the dialog's own frame, (0, 0) its top-left corner.
    place(m_pTopRight, w - topRightW, 0);
    place(m_pBottomRight, w - bottomRightW, h - bottomRightH);
    place(m_pBottomLeft, 0, h - bottomLeftH);
    place(m_pTopLeft, 0, 0);
    place(m_pTop, topLeftW, 0);
    place(m_pBottom, bottomLeftW, h - bottomH);
    place(m_pRight, w - rightW, topRightH);
    place(m_pLeft, 0, topLeftH);
    // Edges span the gaps between their corners at their picture's thickness.
    stretch(m_pTop, w - topLeftW - topRightW, topH);
    stretch(m_pBottom, w - bottomLeftW - bottomRightW, bottomH);
    stretch(m_pLeft, leftW, h - topLeftH - bottomLeftH);
    stretch(m_pRight, rightW, h - topRightH - bottomRightH);
    place(m_pCentre, leftW, topH);
    stretch(m_pCentre, w - leftW - rightW, h - topH - bottomH);
}

SpriteBase* BorderedDialog::clone()
{
    lang::Synchronized guard(this, true);
    BorderedDialog* copy = new BorderedDialog();
    // The size goes first, so that the copied centre point means the same
    // top-left corner.
    copy->m_nWidth = m_nWidth;
    copy->m_nHeight = m_nHeight;
    copyStateTo(copy);
    auto cornerCopy = [](ImageSprite* piece) {
        return piece ? static_cast<ImageSprite*>(piece->clone()) : nullptr;
    };
    auto tilesCopy = [](TiledSprite* piece) {
        return piece ? static_cast<TiledSprite*>(piece->clone()) : nullptr;
    };
    copy->adoptCorner(copy->m_pTopLeft, cornerCopy(m_pTopLeft));
    copy->adoptTiles(copy->m_pTop, tilesCopy(m_pTop));
    copy->adoptCorner(copy->m_pTopRight, cornerCopy(m_pTopRight));
    copy->adoptTiles(copy->m_pRight, tilesCopy(m_pRight));
    copy->adoptCorner(copy->m_pBottomRight, cornerCopy(m_pBottomRight));
    copy->adoptTiles(copy->m_pBottom, tilesCopy(m_pBottom));
    copy->adoptCorner(copy->m_pBottomLeft, cornerCopy(m_pBottomLeft));
    copy->adoptTiles(copy->m_pLeft, tilesCopy(m_pLeft));
    copy->adoptTiles(copy->m_pCentre, tilesCopy(m_pCentre));
    copy->resize(width(), height());
    return copy;
}

} // namespace sprite
