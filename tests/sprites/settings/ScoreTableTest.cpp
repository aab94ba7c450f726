// ScoreTableTest.cpp: the settings store's high-score table and its stored form.
#include "sprites/settings/User.h"

#include "platform/registry/Registry.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using lang::String;
using sprite::User;

class ScoreTableTest : public ::testing::Test {
protected:
    ScoreTableTest() : m_scope(m_dir.file("registry.txt")) { m_user.open("Game"); }

    // A fresh store reading what this one saved.
    void reload()
    {
        m_reloaded.reset(new User);
        m_reloaded->open("Game");
    }

    testsupport::TempDir m_dir;
    platform::ScopedRegistryFile m_scope;
    User m_user;
    std::unique_ptr<User> m_reloaded;
};

TEST_F(ScoreTableTest, ScoresAreKeptBestFirstTenPerMode)
{
    EXPECT_EQ(0, m_user.addScore("a", "easy", 1, 50, 0));
    EXPECT_EQ(0, m_user.addScore("b", "easy", 2, 80, 0));
    // An equal score goes after the existing ones.
    EXPECT_EQ(2, m_user.addScore("c", "easy", 3, 50, 1));
    EXPECT_STREQ("b", m_user.getScoreName("easy", 0).c_str());
    EXPECT_STREQ("a", m_user.getScoreName("easy", 1).c_str());
    EXPECT_STREQ("c", m_user.getScoreName("easy", 2).c_str());
    EXPECT_EQ(3, m_user.getScoreLevel("easy", 2));
    EXPECT_EQ(1, m_user.getScoreSetting("easy", 2));

    for (int i = 0; i < 7; ++i)
        m_user.addScore("f", "easy", 0, 40 - i, 0);
    // Ten entries; an eleventh lower than all is not entered.
    EXPECT_EQ(-1, m_user.addScore("low", "easy", 0, 1, 0));
    // A higher one is inserted; only the first ten are written.
    EXPECT_EQ(0, m_user.addScore("top", "easy", 9, 99, 2));

    reload();
    EXPECT_STREQ("top", m_reloaded->getScoreName("easy", 0).c_str());
    EXPECT_EQ(99, m_reloaded->getScore("easy", 0));
    EXPECT_EQ(9, m_reloaded->getScoreLevel("easy", 0));
    EXPECT_EQ(2, m_reloaded->getScoreSetting("easy", 0));
    EXPECT_EQ(35, m_reloaded->getScore("easy", 9));
    EXPECT_EQ(-1, m_reloaded->getScore("easy", 10));
    EXPECT_EQ(-1, m_user.getInt("SCORE10", -1));
}

TEST_F(ScoreTableTest, MissingEntriesGiveDefaults)
{
    EXPECT_STREQ("", m_user.getScoreName(0).c_str());
    EXPECT_EQ(-1, m_user.getScore(0));
    EXPECT_EQ(0, m_user.getScoreLevel(0));
    EXPECT_EQ(0, m_user.getScoreSetting("none", 0));
    m_user.addScore("x", 2, 10, 0);
    EXPECT_STREQ("x", m_user.getScoreName(0).c_str());
    EXPECT_EQ(10, m_user.getScore(0));
    EXPECT_EQ(2, m_user.getScoreLevel(0));
    EXPECT_EQ(-1, m_user.getScore(-1));
    EXPECT_EQ(-1, m_user.getScore(1));
}

TEST_F(ScoreTableTest, LoadingStopsAtTheFirstMissingIndex)
{
    for (int i : {0, 1, 3}) {
        m_user.setInt(String("SCORE") + i, 100 - i);
        m_user.setString(String("SCORENAME") + i, String("p") + i);
    }
    m_user.loadScores();
    EXPECT_EQ(100, m_user.getScore(0));
    EXPECT_EQ(99, m_user.getScore(1));
    EXPECT_EQ(-1, m_user.getScore(2));
    EXPECT_STREQ("p1", m_user.getScoreName(1).c_str());
}

TEST_F(ScoreTableTest, ModesAreStoredTogetherAndRemovedApart)
{
    m_user.addScore("e1", "easy", 1, 10, 0);
    m_user.addScore("h1", "hard", 1, 30, 0);
    m_user.addScore("h2", "hard", 1, 20, 0);
    EXPECT_NE(-1, m_user.getInt("SCORE2", -1));
    EXPECT_EQ(-1, m_user.getInt("SCORE3", -1));

    m_user.removeScoreMode("easy");
    EXPECT_EQ(-1, m_user.getScore("easy", 0));
    EXPECT_EQ(-1, m_user.getInt("SCORE2", -1));
    reload();
    EXPECT_EQ(-1, m_reloaded->getScore("easy", 0));
    EXPECT_EQ(30, m_reloaded->getScore("hard", 0));
    EXPECT_EQ(20, m_reloaded->getScore("hard", 1));

    m_user.removeScoreMode("unknown"); // nothing happens
    m_user.clearScores();
    EXPECT_EQ(-1, m_user.getScore("hard", 0));
    for (const char* name : {"SCORENAME0", "SCOREMODE0", "SCORE0", "LEVEL0", "SCORESETTING0", "SCORE1"})
        EXPECT_STREQ("gone", m_user.getString(name, "gone").c_str()) << name;
}

TEST_F(ScoreTableTest, ThePrefixPutsScoresInASubkey)
{
    m_user.setScorePrefix("BOB");
    m_user.addScore("bob", "easy", 4, 77, 0);
    EXPECT_EQ(77, m_user.getInt("BOB\\SCORE0", -1));
    EXPECT_STREQ("easy", m_user.getString("BOB\\SCOREMODE0", "").c_str());
    EXPECT_EQ(-1, m_user.getInt("SCORE0", -1));

    m_user.setScorePrefix("BOB\\"); // no second '\'
    m_user.loadScores();
    EXPECT_EQ(77, m_user.getScore("easy", 0));
}

} // namespace
