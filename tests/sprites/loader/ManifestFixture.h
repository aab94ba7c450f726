// ManifestFixture.h: a world with the class scripts in place in which a test
// writes a manifest "m" (and whatever items it needs) and has a data loader
// count and load it for a canvas.
#pragma once

#include "core/lang/IntArray.h"
#include "core/util/Hashtable.h"
#include "core/util/Vector.h"
#include "sound/clip/AudioClip.h"
#include "sprites/base/SpriteBase.h"
#include "sprites/loader/DataLoader.h"
#include "tests/support/GameWorld.h"
#include "tests/support/RecordingCanvas.h"
#include "windowing/images/ImageBase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace loadertest {

class ManifestTest : public ::testing::Test {
protected:
    void SetUp() override { world.data().classScripts(); }
    void TearDown() override
    {
        if (loader)
            loader->release();
        if (canvas)
            canvas->release();
    }

    // Opens the archive and makes the canvas (unless the test made one) and
    // a loader for the program folder.
    void makeLoader(sprite::User* user = nullptr)
    {
        world.openArchive();
        if (!canvas)
            canvas = new testsupport::RecordingCanvas<>();
        loader = new sprite::DataLoader(lang::String(world.programFolder().c_str()), canvas, user);
    }
    // The manifest as item "m", counted and loaded; the result of the
    // loading pass.
    bool load(const std::string& manifest, sprite::User* user = nullptr)
    {
        world.data().manifest("m", manifest);
        makeLoader(user);
        counted = loader->countEntries(lang::String("+m"));
        return loader->load(lang::String("+m"));
    }

    int spriteCount() const { return loader->getSprites()->size(); }
    sprite::SpriteBase* spriteAt(int i) const
    {
        return static_cast<sprite::SpriteBase*>(loader->getSprites()->elementAt(i));
    }
    sprite::SpriteBase* named(const char* name) const
    {
        lang::String key(name);
        return static_cast<sprite::SpriteBase*>(loader->getNames()->get(&key));
    }
    window::ImageBase* image(const char* name) const
    {
        lang::String key(name);
        return static_cast<window::ImageBase*>(loader->getImages()->get(&key));
    }
    std::vector<int> numbers() const
    {
        lang::IntArray* n = loader->getNumbers();
        return std::vector<int>(n->data(), n->data() + n->length());
    }
    std::vector<std::string> strings() const
    {
        std::vector<std::string> out;
        for (int i = 0; i < loader->getStrings()->length(); ++i)
            out.push_back(loader->getStrings()->get(i)->c_str());
        return out;
    }
    // "kind source" of each clip of the sound list.
    std::vector<std::string> sounds() const
    {
        std::vector<std::string> out;
        for (int i = 0; i < loader->getSounds()->length(); ++i) {
            auto* clip = static_cast<window::AudioClip*>(*loader->getSounds()->at(i));
            out.push_back(std::to_string(clip->getKind()) + " " + clip->getName().c_str());
        }
        return out;
    }
    // The program folder joined with a name, as the loader writes paths.
    std::string inFolder(const std::string& name) const { return world.programFolder() + "\\" + name; }

    testsupport::GameWorld world;
    testsupport::RecordingCanvas<>* canvas = nullptr;
    sprite::DataLoader* loader = nullptr;
    int counted = -1;
};

} // namespace loadertest
