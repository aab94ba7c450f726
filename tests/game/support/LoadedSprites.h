// LoadedSprites.h: sprites built by the data loader from a manifest written
// at test time (no canvas): a test writes the manifest "m" with the nested
// manifests and items its sprites need, loads it, and takes the sprites by
// name. The loader, and with it the sprites, lives as long as the object.
#pragma once

#include "core/util/Hashtable.h"
#include "sprites/loader/DataLoader.h"
#include "tests/support/GameWorld.h"

#include <string>

namespace gametest {

class LoadedSprites {
public:
    LoadedSprites() = default;
    ~LoadedSprites()
    {
        if (m_pLoader)
            m_pLoader->release();
    }
    LoadedSprites(const LoadedSprites&) = delete;
    LoadedSprites& operator=(const LoadedSprites&) = delete;

    // Writes the top manifest "m" with these sprite lines, opens the world's
    // archive and loads it; false when the load failed.
    bool load(testsupport::GameWorld& world, const std::string& spriteLines)
    {
        world.data().manifest("m", "<sprites>\n" + spriteLines + "<end>\n");
        world.openArchive();
        m_pLoader = new sprite::DataLoader(lang::String(world.programFolder().c_str()), nullptr, nullptr);
        return m_pLoader->load(lang::String("+m"));
    }

    // The sprite of that name (borrowed), or null.
    template <class T = sprite::SpriteBase>
    T* named(const char* name) const
    {
        if (!m_pLoader)
            return nullptr;
        lang::String key(name);
        return static_cast<T*>(m_pLoader->getNames()->get(&key));
    }

private:
    sprite::DataLoader* m_pLoader = nullptr;
};

} // namespace gametest
