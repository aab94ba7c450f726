// ImageArray.h: the list of images the data manifest loader hands to a sprite
// (null for an empty slot).
#pragma once

#include "core/lang/ObjectArray.h"

namespace window {

class ImageArray : public lang::ObjectArray {
public:
    HV_CLASS_NAME("ImageArray", lang::ObjectArray)
};

} // namespace window
