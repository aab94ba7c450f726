// SpriteDefinition.h: what a container's nested definition hands the
// container once its sprites are made: the sprites by name, the numbers and
// the pictures by name. The data manifest loader is one.
#pragma once

namespace lang {
class IntArray;
}

namespace util {
class Hashtable;
}

namespace sprite {

class SpriteDefinition {
public:
    // Name -> sprite of the definition's sprites (borrowed), or null.
    virtual util::Hashtable* getNames() = 0;
    // The definition's numbers (borrowed), or null.
    virtual lang::IntArray* getNumbers() = 0;
    // Name -> picture of the definition's pictures (borrowed), or null.
    virtual util::Hashtable* getImages() = 0;

protected:
    SpriteDefinition() = default;
    ~SpriteDefinition() = default;
    SpriteDefinition(const SpriteDefinition&) = default;
    SpriteDefinition& operator=(const SpriteDefinition&) = default;
};

} // namespace sprite
