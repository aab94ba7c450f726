// TestLoaderFrame.cpp: the test programs' loader frame.
#include "tests/support/TestLoaderFrame.h"

#include "core/util/RectangleNM.h"
#include "platform/user/User.h"
#include "sprites/canvas/GameCanvas3.h"

namespace testsupport {

TestLoaderFrame::TestLoaderFrame()
{
    // The game's design size (the loader frame's own default is 640 x 480).
    m_designWidth = 800;
    m_designHeight = 600;
}

bool TestLoaderFrame::open(sprite::GameCanvas3* canvas, const char* registryName, const char* dataFile,
                           bool onThread)
{
    util::RectangleNM bounds(0, 0, 800, 600);
    if (!create(nullptr, &bounds))
        return false;
    if (!canvas->create(this, &bounds))
        return false;
    startUp(canvas, lang::String(registryName), lang::String(dataFile));
    ShowWindow(m_hWnd, SW_SHOW);
    if (onThread)
        startLoader();
    else
        runLoaderHere();
    canvas->requestFocus();
    return true;
}

void TestLoaderFrame::onLoaded()
{
    LoaderFrame2::onLoaded();
    ++loaded;
}

void TestLoaderFrame::setFullScreen(bool on, bool force)
{
    fullScreenCalls.push_back(std::string(on ? "on" : "off") + (force ? ",force" : ""));
    if (switchesDisplay)
        LoaderFrame2::setFullScreen(on, force);
    else
        m_bFullScreen = on;
}

} // namespace testsupport
