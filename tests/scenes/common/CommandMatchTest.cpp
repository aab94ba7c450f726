// CommandMatchTest.cpp: action commands and their match by prefix.
#include "scenes/common/CommandMatch.h"

#include "core/lang/String.h"
#include "windowing/window/Event.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandMatchTest, TheLongestNameThatBeginsTheCommandWins)
{
    // Listed with the shorter names first: the order must not matter.
    const char* const names[] = {"Unhighlight", "Highlight", "Unhighlight2", "Unhighlight3", "update"};
    const struct {
        const char* command;
        int index;
    } cases[] = {
        {"Unhighlight", 0},  {"Unhighlight2", 2}, {"Unhighlight3", 3}, {"Unhighlight4", 0},
        {"HighlightX", 1},   {"updateAIScore", 4}, {"Update", -1},     {"", -1},
        {"Unhighligh", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.index, CommandMatch::matchPrefix(lang::String(c.command), names)) << c.command;
}

TEST(CommandMatchTest, OnlyAStringArgumentIsACommand)
{
    auto* command = new lang::String("startNextState");
    auto* action = new window::Event(command, window::Event::ACTION, command);
    EXPECT_EQ(command, CommandMatch::actionCommand(action));
    auto* other = new window::Event(action, window::Event::ACTION, action);
    EXPECT_EQ(nullptr, CommandMatch::actionCommand(other)) << "an event as argument";
    EXPECT_EQ(nullptr, CommandMatch::actionCommand(nullptr));
    other->release();
    action->release();
    command->release();
}

} // namespace
