// SpriteFramework.h: the sprite framework's process-wide start-up and
// teardown: the script host, the metaclass of every creatable sprite and
// transition class (so that data files create them by name), and the list of
// sprites that want their Lua "nextFrame" in the current frame.
#pragma once

namespace sprite {

class SpriteFramework {
public:
    // The names the classes register under, in the order of registration.
    static const char* const kClassNames[];
    static const int kClassCount;

    // Start-up, once, before anything else of the program runs: the script
    // host with its Lua state (sprites made from now on get Lua tables), the
    // Utility module ("Utility.lua" from the working folder), then
    // registerClasses. Nothing when the framework is already started.
    static void startUp();
    // The teardown of registerClasses, in reverse order. The Lua state stays
    // until the process ends.
    static void tearDown();
    static bool isStarted() { return s_bStarted; }

    // The part of start-up that needs no Lua, in order: the metaclasses of
    // the first group, the Lua-animated list, the mask transition, the
    // particle sprites, and the last group. Nothing when done already.
    static void registerClasses();
    // Deletes the metaclasses and the list in reverse order of creation;
    // the class registry goes with its last name.
    static void unregisterClasses();
    static bool areClassesRegistered();

private:
    static bool s_bStarted;
};

} // namespace sprite
