// TestLoaderFrame.h: a loader frame of the game's 800 x 600 design size that
// opens as the game's main frame does (window, canvas child, start-up, the
// loader), counts its hand-overs and records full-screen switches instead
// of changing the display.
#pragma once

#include "sprites/loader/LoaderFrame2.h"

#include <atomic>
#include <string>
#include <vector>

namespace testsupport {

class TestLoaderFrame : public sprite::LoaderFrame2 {
public:
    TestLoaderFrame();

    // Creates the window and the canvas's window inside it, runs startUp,
    // shows the window and starts the loader (on its thread, or here with
    // onThread false). The canvas gets the keyboard focus. False when a
    // window could not be made.
    bool open(sprite::GameCanvas3* canvas, const char* registryName, const char* dataFile, bool onThread = true);

    // Counts the hand-over.
    void onLoaded() override;
    // Notes "on"/"off" (with ",force"), and only sets the flag unless
    // switchesDisplay is set.
    void setFullScreen(bool on, bool force) override;

    std::atomic<int> loaded{0};
    std::vector<std::string> fullScreenCalls;
    bool switchesDisplay = false;
};

} // namespace testsupport
