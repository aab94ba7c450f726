// TransitionImage.h: one picture layer of a transition: the picture, the part
// of it currently shown and where that part is drawn, with the values as
// captured from which the effects compute their steps.
#pragma once

#include "core/lang/String.h"
#include "core/util/Point.h"
#include "core/util/RectangleNM.h"

namespace window {
class ImageBase;
}

namespace sprite {

class TransitionImage {
public:
    TransitionImage() = default;
    // Releases the picture.
    ~TransitionImage();
    TransitionImage(const TransitionImage&) = delete;
    TransitionImage& operator=(const TransitionImage&) = delete;

    // Holds a reference on the new picture (null empties the layer), then
    // releases the old one.
    void setImage(window::ImageBase* newImage);

    window::ImageBase* image = nullptr;
    lang::String name;
    util::RectangleNM rect;
    util::RectangleNM baseRect;
    util::Point position;
    util::Point basePosition;
};

} // namespace sprite
