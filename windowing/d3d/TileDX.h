// TileDX.h: the part of one texture tile an image draw shows: a rectangle in
// the tile's own pixels and the tile's column and row.
#pragma once

#include "core/lang/Object.h"

namespace window {

class TileDX : public lang::Object {
public:
    TileDX() : left(0), top(0), right(0), bottom(0), column(0), row(0) {}

    int left;
    int top;
    int right;
    int bottom;
    int column;
    int row;
};

} // namespace window
