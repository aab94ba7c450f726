// GameEntry.cpp: the program's entry function.
#include "game/app/GameEntry.h"

#include "core/lang/Exception.h"
#include "core/lang/ResourceFile.h"
#include "core/util/RectangleNM.h"
#include "game/app/MyFrame.h"
#include "game/registration/GameClasses.h"
#include "platform/user/MessageBox.h"
#include "platform/user/Messages.h"
#include "sprites/loader/SpriteFramework.h"
#include "windowing/window/DebugLine.h"

#include <string>

HINSTANCE GameEntry::s_hInstance = nullptr;

void GameEntry::messageLoop()
{
    MSG msg;
    // GetMessageA answers 0 for WM_QUIT and -1 when the queue fails; either
    // ends the loop.
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

int GameEntry::run(HINSTANCE instance)
{
    sprite::SpriteFramework::startUp();
    GameClasses::registerClasses();
    try {
        lang::ResourceFile::open(lang::String(kArchiveName));
    } catch (lang::Exception* e) {
        const std::string text =
            std::string("The game data ") + kArchiveName + " could not be opened (" + e->toString().c_str() + ").";
        e->release();
        window::debugLine(text, "\n");
        MessageBoxA(nullptr, text.c_str(), "Lanternfield", MB_OK);
        return 1;
    }
    s_hInstance = instance;
    auto* frame = new MyFrame();
    util::RectangleNM bounds(0, 0, 800, 600);
    if (frame->create(nullptr, &bounds))
        messageLoop();
    frame->release();
    lang::ResourceFile::closeAll();
    return 0;
}
