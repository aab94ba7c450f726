// ClipTestSupport.h: a fixture for sound clips on the update-driven engine
// with the float mixer: the engine opened as the game opens it, a capture of
// every mixed block, an archive of test items made current, clips released
// after the test, and mixing until a clip has stopped.
#pragma once

#include "tests/sound/streams/StreamTestSupport.h"

#include "core/lang/ResourceFile.h"
#include "sound/clip/AudioClip.h"
#include "tools/archive/ArchiveWriter.h"

#include <string>
#include <utility>
#include <vector>

namespace cliptest {

// A clip that shows the engine object it holds and the copy of the data it
// keeps for a stream.
class ProbedClip : public window::AudioClip {
public:
    void* handle() const { return m_pHandle; }
    const unsigned char* memoryCopy() const { return m_pMemoryCopy; }
};

class ClipFixture : public streamtest::StreamFixture {
protected:
    void SetUp() override
    {
        StreamFixture::SetUp();
        ASSERT_TRUE(window::AudioClip::openSound(nullptr, -1, false));
        capture = HVSOUND_DSP_Create(captureBlock, 5000, this);
        ASSERT_NE(capture, nullptr);
        HVSOUND_DSP_SetActive(capture, true);
    }

    void TearDown() override
    {
        for (window::AudioClip* clip : clips)
            clip->release();
        clips.clear();
        lang::ResourceFile::closeAll();
        window::AudioClip::closeSound();
        StreamFixture::TearDown();
    }

    // Writes the items into an archive and makes it the current one.
    void openArchive(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& items)
    {
        tools::ArchiveWriter archive;
        for (const auto& item : items)
            archive.add(item.first, item.second);
        archivePath = dir.file("Sounds.bin");
        ASSERT_TRUE(archive.write(archivePath));
        reopenArchive();
    }

    void reopenArchive()
    {
        lang::ResourceFile::open(lang::String(archivePath.c_str()));
        ASSERT_NE(lang::ResourceFile::getCurrent(), nullptr);
    }

    ProbedClip* clip(const std::string& name, int kind)
    {
        auto* c = new ProbedClip();
        c->setSource(lang::String(name.c_str()), kind);
        clips.push_back(c);
        return c;
    }

    // Mixes `blocks` blocks; answers what was heard (left, right, ...).
    std::vector<int16_t> listen(int blocks)
    {
        heard.clear();
        update(blocks);
        return heard;
    }

    // Mixes until the clip has stopped playing (at most `limit` blocks).
    std::vector<int16_t> listenToTheEnd(window::AudioClip* c, int limit = 200)
    {
        heard.clear();
        for (int i = 0; i < limit && c->isPlaying(); ++i)
            update();
        EXPECT_FALSE(c->isPlaying()) << "the clip ended within " << limit << " blocks";
        return heard;
    }

    std::string archivePath;
    std::vector<window::AudioClip*> clips;
};

} // namespace cliptest
