// GameClasses.h: the registration of the game's creatable classes, so that
// the data manifest creates rooms, exits, dialogs, characters, balloons and
// the inventory by their class names.
#pragma once

class GameClasses {
public:
    // The names the classes register under, in the order of registration.
    static const char* const kClassNames[];
    static const int kClassCount;

    // Makes one metaclass per game class; nothing when done already. Runs
    // after the sprite framework's own classes are registered.
    static void registerClasses();
    // Deletes the metaclasses in reverse order of creation.
    static void unregisterClasses();
    static bool areClassesRegistered();
};
