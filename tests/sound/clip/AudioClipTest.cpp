// The sound clip over the engine's samples, checked on the PCM the mixer
// makes (update-driven output, every block captured): lazy loading from an
// archive item and from a file, the load-failed latch, play, loop, pause and
// stop, volume and master volume (set from a second thread too), pitch, the
// fades, and a closed engine.
#include "tests/sound/formats/WavBuilder.h"
#include "tests/sound/mixer/MixerTestSupport.h"
#include "tests/support/TempDir.h"

#include "core/lang/ResourceFile.h"
#include "sound/clip/AudioClip.h"
#include "tools/archive/ArchiveWriter.h"

#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using mixertest::Frame;
using mixertest::kBlock;
using window::AudioClip;

// Frames in the test sound, a little over one mixing block.
constexpr int kLength = 700;
// Its one sample value: a steady level that shows volume changes.
constexpr int kLevel = 12000;

std::vector<uint8_t> constantWav(int frames, int value)
{
    std::vector<uint8_t> pcm;
    for (int i = 0; i < frames; ++i)
        wavtest::put16(pcm, uint32_t(uint16_t(int16_t(value))));
    return wavtest::WavBuilder().pcm(1, 22050, 16).data(pcm).build();
}

// The frames after the volume ramp of a start and before the end: what a
// steadily playing channel gives.
int steadyLeft(const std::vector<Frame>& out)
{
    return out.at(200).left;
}

// The last frame that is not silent, or -1.
int lastSound(const std::vector<Frame>& out)
{
    for (int i = int(out.size()) - 1; i >= 0; --i)
        if (out[size_t(i)].left != 0 || out[size_t(i)].right != 0)
            return i;
    return -1;
}

class AudioClipTest : public mixertest::MixerFixture {
protected:
    void SetUp() override
    {
        MixerFixture::SetUp();
        // The output chosen beforehand (update-driven) stays: no waveOut asked.
        ASSERT_TRUE(AudioClip::openSound(nullptr, -1, false));
        capture = HVSOUND_DSP_Create(captureBlock, 5000, this);
        ASSERT_NE(capture, nullptr);
        HVSOUND_DSP_SetActive(capture, true);

        archiveDir = std::make_unique<testsupport::TempDir>();
        tools::ArchiveWriter archive;
        std::vector<uint8_t> wav = constantWav(kLength, kLevel);
        archive.add("beep", wav);
        archive.add("notasound", std::string("this is no sound at all"));
        archivePath = archiveDir->file("Sounds.bin");
        ASSERT_TRUE(archive.write(archivePath));
        lang::ResourceFile::open(lang::String(archivePath.c_str()));
        ASSERT_NE(lang::ResourceFile::getCurrent(), nullptr);
        filePath = archiveDir->write("beep.wav", std::string(wav.begin(), wav.end()));
    }

    void TearDown() override
    {
        for (AudioClip* clip : clips)
            clip->release();
        lang::ResourceFile::closeAll();
        AudioClip::closeSound();
        archiveDir.reset();
        MixerFixture::TearDown();
    }

    AudioClip* clip(const char* name, int kind = AudioClip::KIND_SAMPLE)
    {
        AudioClip* c = new AudioClip();
        c->setSource(lang::String(name), kind);
        clips.push_back(c);
        return c;
    }

    std::unique_ptr<testsupport::TempDir> archiveDir;
    std::string archivePath;
    std::string filePath;
    std::vector<AudioClip*> clips;
};

TEST_F(AudioClipTest, AnArchiveItemIsLoadedOnTheFirstPlayAndPlaysOnce)
{
    AudioClip* beep = clip("+beep");
    EXPECT_FALSE(beep->hasData()) << "naming a sound loads nothing";
    beep->play();
    ASSERT_TRUE(beep->hasData());
    EXPECT_EQ(beep->getBaseFrequency(), 22050);
    EXPECT_NE(beep->getChannel(), -1);
    EXPECT_TRUE(beep->isPlaying());
    std::vector<Frame> out = render(3);
    EXPECT_GT(steadyLeft(out), 0);
    EXPECT_EQ(out.at(600).left, steadyLeft(out));
    // Played once: silence soon after its 700 frames.
    int last = lastSound(out);
    EXPECT_GE(last, kLength - 1);
    EXPECT_LT(last, kLength + mixertest::kRamp + 2);
    EXPECT_FALSE(beep->isPlaying());
}

TEST_F(AudioClipTest, AFileIsLoadedByItsPathWithEitherSeparator)
{
    std::string windowsPath = filePath;
    windowsPath[windowsPath.rfind('/')] = '\\';
    for (const std::string& path : {filePath, windowsPath}) {
        AudioClip* beep = clip(path.c_str());
        beep->play();
        EXPECT_TRUE(beep->hasData()) << path;
        EXPECT_GT(steadyLeft(render(1)), 0) << path;
        beep->stop();
    }
}

TEST_F(AudioClipTest, ASoundWrittenBySoxPlaysAtItsPitch)
{
    std::string path = archiveDir->file("sine.wav");
    if (std::system(("sox -n -r 22050 -c 1 -b 16 " + path + " synth 0.2 sine 1000 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "sox is not installed";
    AudioClip* sine = clip(path.c_str());
    sine->play();
    std::vector<Frame> out = render(4);
    // 1,000 Hz at 22,050 frames a second: two sign changes every 22.05 frames.
    int changes = 0;
    ASSERT_EQ(out.size(), size_t(4 * kBlock));
    for (size_t i = 200; i < out.size(); ++i)
        changes += (out[i].left < 0) != (out[i - 1].left < 0);
    EXPECT_NEAR(changes, (out.size() - 200) * 2 / 22.05, 3);
}

TEST_F(AudioClipTest, AMissingOrBrokenSoundIsTriedOncePerSource)
{
    const std::string missing = archiveDir->file("missing.wav");
    for (const char* name : {"+nothing", "+notasound", missing.c_str()}) {
        AudioClip* bad = clip(name);
        bad->play();
        EXPECT_TRUE(bad->hasLoadFailed()) << name;
        EXPECT_EQ(bad->getChannel(), -1);
        EXPECT_FALSE(bad->ensureLoaded()) << "the failure is latched";
        bad->loop();
        EXPECT_FALSE(bad->hasData());
        bad->setSource(lang::String(name), AudioClip::KIND_SAMPLE);
        EXPECT_FALSE(bad->hasLoadFailed()) << "a new source clears the latch";
    }
    EXPECT_EQ(lastSound(render(1)), -1);
}

TEST_F(AudioClipTest, PlayRestartsLoopResumesOrKeepsOnAndStopSilences)
{
    AudioClip* beep = clip("+beep");
    beep->play();
    render(1);
    int first = beep->getChannel();
    EXPECT_EQ(HVSOUND_GetCurrentPosition(first), kBlock);
    beep->play();
    EXPECT_FALSE(HVSOUND_IsPlaying(first)) << "a second play stops the first";
    EXPECT_EQ(HVSOUND_GetCurrentPosition(beep->getChannel()), 0);
    render(3);
    // Loop after a play that ended: the channel is forgotten, nothing
    // starts; the next loop starts it.
    beep->loop();
    EXPECT_EQ(beep->getChannel(), -1);
    beep->loop();
    std::vector<Frame> out = render(4);
    EXPECT_EQ(out.at(1500).left, steadyLeft(out)) << "still sounding well past its length";
    int channel = beep->getChannel();
    beep->pause();
    EXPECT_EQ(render(2).back().left, 0);
    beep->loop();
    EXPECT_EQ(beep->getChannel(), channel) << "a paused clip resumes on its channel";
    beep->loop();
    EXPECT_EQ(beep->getChannel(), channel) << "a playing clip keeps on";
    EXPECT_GT(steadyLeft(render(1)), 0);
    beep->stop();
    EXPECT_EQ(beep->getChannel(), -1);
    EXPECT_LT(lastSound(render(2)), mixertest::kRamp + 1) << "only the fade-out of the stop";
}

TEST_F(AudioClipTest, PlayAfterLoopPlaysTheSoundOnceMore)
{
    AudioClip* beep = clip("+beep");
    beep->loop();
    std::vector<Frame> looped = render(4);
    EXPECT_EQ(looped.at(1500).left, steadyLeft(looped)) << "looping past its length";
    beep->play();
    int last = lastSound(render(3));
    EXPECT_GE(last, kLength - 1);
    EXPECT_LT(last, kLength + mixertest::kRamp + 2) << "the loop is off again: one length, then silence";
    EXPECT_FALSE(beep->isPlaying());
}

TEST_F(AudioClipTest, VolumeIsAbsoluteAndUnmovedByTheMasterVolume)
{
    AudioClip* plain = clip("+beep");
    plain->play();
    int full = steadyLeft(render(1));
    plain->stop();
    render(1);

    AudioClip::setMasterVolume(128);
    plain->play();
    int mastered = steadyLeft(render(1));
    EXPECT_NEAR(mastered, full * 128 / 255, full / 100 + 2) << "no volume set: the master volume scales it";
    plain->stop();
    render(1);

    AudioClip* quiet = clip("+beep");
    quiet->setVolume(64);
    quiet->loop();
    int level = steadyLeft(render(1));
    EXPECT_NEAR(level, full * 64 / 255, full / 100 + 2) << "an absolute volume ignores the master volume";
    quiet->setVolume(255);
    EXPECT_EQ(steadyLeft(render(1)), full);
}

// The game's music is looped by the window's thread while the loader thread
// sets its volume: the volume is kept under the sound monitor that the loop
// reads it under. The second thread waits on a relaxed flag, which orders
// nothing for the sanitizer: only the monitor may.
TEST_F(AudioClipTest, AVolumeSetOnAnotherThreadIsKeptUnderTheSoundMonitor)
{
    AudioClip* music = clip("+beep");
    std::atomic<bool> looped{false};
    std::thread loader([music, &looped] {
        while (!looped.load(std::memory_order_relaxed))
            std::this_thread::yield();
        music->setVolume(64);
    });
    music->loop();
    looped.store(true, std::memory_order_relaxed);
    loader.join();
    EXPECT_EQ(HVSOUND_GetVolume(music->getChannel()), 64);
}

TEST_F(AudioClipTest, PitchTwoPlaysAt44100HertzAndEndsInHalfTheTime)
{
    AudioClip* fast = clip("+beep");
    fast->setPitch(2.0f);
    fast->play();
    EXPECT_EQ(HVSOUND_GetFrequency(fast->getChannel()), 44100);
    int last = lastSound(render(2));
    EXPECT_GE(last, kLength / 2 - 1);
    EXPECT_LT(last, kLength / 2 + mixertest::kRamp + 2);
    // A pitch of exactly 1 leaves the sound's own frequency.
    AudioClip* plain = clip("+beep");
    plain->play();
    EXPECT_EQ(HVSOUND_GetFrequency(plain->getChannel()), 22050);
    plain->setPitch(0.5f);
    EXPECT_EQ(HVSOUND_GetFrequency(plain->getChannel()), 11025);
}

TEST_F(AudioClipTest, FadesMoveVolumeAndPitchEachFrameAndLandOnTheirTargets)
{
    AudioClip* beep = clip("+beep");
    beep->setVolume(0);
    beep->loop();
    beep->fadeVolume(10, 4, true);
    beep->fadePitch(2.0f, 4);
    std::vector<int> volumes;
    std::vector<int> frequencies;
    std::vector<bool> going;
    for (int i = 0; i < 4; ++i) {
        going.push_back(beep->updateFades(i));
        volumes.push_back(HVSOUND_GetVolume(beep->getChannel()));
        frequencies.push_back(HVSOUND_GetFrequency(beep->getChannel()));
    }
    EXPECT_EQ(volumes, (std::vector<int>{2, 5, 7, 10}));
    EXPECT_EQ(frequencies, (std::vector<int>{27562, 33075, 38587, 44100}));
    EXPECT_EQ(going, (std::vector<bool>{true, true, true, false}));
    EXPECT_TRUE(HVSOUND_GetPaused(beep->getChannel())) << "paused at the end";
    EXPECT_EQ(render(1).back().left, 0);
    // A fade of no steps sets the volume at once and never pauses.
    beep->loop();
    beep->fadeVolume(40, 0, true);
    EXPECT_EQ(HVSOUND_GetVolume(beep->getChannel()), 40);
    EXPECT_FALSE(beep->updateFades(5));
    EXPECT_FALSE(HVSOUND_GetPaused(beep->getChannel()));
}

TEST_F(AudioClipTest, WithTheEngineClosedEverythingIsANoOpButValuesAreKept)
{
    AudioClip::closeSound();
    EXPECT_FALSE(AudioClip::isSoundOpen());
    AudioClip* beep = clip("+beep");
    beep->play();
    beep->loop();
    EXPECT_FALSE(beep->hasData());
    EXPECT_FALSE(beep->hasLoadFailed()) << "nothing was tried";
    EXPECT_FALSE(beep->load(lang::String("+beep"), AudioClip::KIND_SAMPLE));
    beep->setVolume(64);
    EXPECT_FALSE(beep->isPlaying());
    beep->releaseData();

    HVSOUND_SetOutput(HVSOUND_OUTPUT_NOSOUND_NONREALTIME);
    ASSERT_TRUE(AudioClip::openSound(nullptr, -1, false));
    capture = HVSOUND_DSP_Create(captureBlock, 5000, this);
    HVSOUND_DSP_SetActive(capture, true);
    beep->play();
    EXPECT_EQ(HVSOUND_GetVolume(beep->getChannel()), 64) << "the volume set while closed applies";
    EXPECT_GT(steadyLeft(render(1)), 0);
}

TEST_F(AudioClipTest, LoadReplacesTheSoundAndReleaseDataKeepsTheClip)
{
    AudioClip* beep = clip("+beep");
    EXPECT_TRUE(beep->load(lang::String(filePath.c_str()), AudioClip::KIND_SAMPLE));
    EXPECT_STREQ(beep->getName().c_str(), filePath.c_str());
    beep->loop();
    render(1);
    EXPECT_FALSE(beep->load(lang::String("+nothing"), AudioClip::KIND_SAMPLE));
    EXPECT_EQ(beep->getChannel(), -1) << "the old sound was stopped";
    EXPECT_TRUE(beep->hasLoadFailed());
    EXPECT_TRUE(beep->load(lang::String("+beep"), AudioClip::KIND_SAMPLE));
    beep->releaseData();
    EXPECT_FALSE(beep->hasData());
    beep->play();
    EXPECT_TRUE(beep->hasData()) << "loaded again on the next play";
}

TEST_F(AudioClipTest, ANewKindNamedWhileASoundIsHeldLeavesItPlayedAndFreedAsLoaded)
{
    auto samplesHeld = [] {
        const HVSOUND_STATE* s = HVSOUND_GetState();
        int n = 0;
        for (int i = 0; i < s->sampleTableSize; ++i)
            n += s->samples[i] != nullptr;
        return n;
    };
    const int before = samplesHeld();
    AudioClip* beep = clip("+beep");
    beep->play();
    ASSERT_EQ(samplesHeld(), before + 1);
    beep->setSource(lang::String("+beep"), AudioClip::KIND_STREAM);
    EXPECT_EQ(beep->getHeldKind(), AudioClip::KIND_SAMPLE);
    beep->play();
    int last = lastSound(render(3));
    EXPECT_GE(last, kLength - 1) << "still played as the sample it is";
    EXPECT_LT(last, kLength + mixertest::kRamp + 2);
    beep->releaseData();
    EXPECT_EQ(samplesHeld(), before) << "freed as a sample";
    EXPECT_EQ(beep->getHeldKind(), AudioClip::KIND_STREAM) << "nothing held: the named kind";
}

} // namespace
