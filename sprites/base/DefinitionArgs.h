// DefinitionArgs.h: reads of the images and numbers a data definition gives
// a sprite's configure. Definitions come from data files, so a number or
// image that is not there reads as 0 or as no image instead of past the end.
#pragma once

#include "core/lang/IntArray.h"
#include "core/lang/ObjectArray.h"
#include "windowing/images/ImageBase.h"

namespace sprite {

class DefinitionArgs {
public:
    // How many numbers there are (0 without an array).
    static int count(const lang::IntArray* params) { return params ? params->length() : 0; }
    // Number i, or the fallback when the definition has fewer.
    static int number(const lang::IntArray* params, int i, int fallback = 0)
    {
        return params && i >= 0 && i < params->length() ? (*params)[i] : fallback;
    }
    // How many image slots there are (0 without an array); slots may be empty.
    static int imageCount(lang::ObjectArray* resources) { return resources ? resources->length() : 0; }
    // Image i, or null for an empty slot, a missing one or anything that is
    // no image.
    static window::ImageBase* image(lang::ObjectArray* resources, int i)
    {
        if (!resources || i < 0 || i >= resources->length())
            return nullptr;
        lang::Object* object = *resources->at(i);
        if (!object || !object->isInstanceOf("ImageBase"))
            return nullptr;
        return static_cast<window::ImageBase*>(object);
    }
};

} // namespace sprite
