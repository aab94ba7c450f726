// SampleStoryTest.h: the fixture of the tests that play the sample story on
// the real program; they are skipped when the game data was not built.
#pragma once

#include "tests/game/support/GameFixture.h"

#include <gtest/gtest.h>

namespace scenetest {

class SampleStoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!gametest::hasSampleGame())
            GTEST_SKIP() << "the game data is built with the tools";
    }
};

} // namespace scenetest
