// TransitionImage.cpp: the picture reference of a transition layer.
#include "sprites/transitions/TransitionImage.h"

#include "windowing/images/ImageBase.h"

namespace sprite {

TransitionImage::~TransitionImage()
{
    if (image)
        image->release();
}

void TransitionImage::setImage(window::ImageBase* newImage)
{
    if (newImage)
        newImage->addRef();
    if (image)
        image->release();
    image = newImage;
}

} // namespace sprite
