// TestEnvironment.cpp: part of every test program: before any test runs,
// the window layer is headless, SDL audio uses its dummy driver and the
// settings live in the build folder, unless the caller set them otherwise.
// (The discovered tests' environment property keeps only its first entry,
// so the program sets them itself.)
#include <cstdlib>

namespace {

struct TestEnvironmentSetter {
    TestEnvironmentSetter()
    {
        setenv("HV_WINDOW_BACKEND", "headless", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("HV_REGISTRY_FILE", HV_TEST_REGISTRY_FILE, 0);
    }
};

const TestEnvironmentSetter testEnvironmentSetter;

} // namespace
