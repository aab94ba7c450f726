// SceneClasses.h: the registration of the scene and puzzle classes, so that
// the data manifest creates the puzzle rooms by their class names, and the
// hooks through which the game canvas reaches scene operations.
#pragma once

class SceneClasses {
public:
    // The names the room classes register under, in the order of
    // registration (the close-up and the clam register beside them).
    static const char* const kClassNames[];
    static const int kClassCount;

    // Makes one metaclass per scene class and sets the canvas's scene hooks;
    // nothing when done already. Runs after the game's classes are registered.
    static void registerClasses();
    // Deletes the metaclasses in reverse order of creation and clears the hooks.
    static void unregisterClasses();
    static bool areClassesRegistered();
};
