// OtherCopy.h: runs a test's code in a child process, as another copy of
// the program on the same settings file would.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

// Runs `body` in a child process; whether it ended well (without a test
// failure there).
template <typename Body>
bool inOtherCopy(Body body)
{
    const pid_t child = fork();
    if (child == 0) {
        body();
        _exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace testsupport
