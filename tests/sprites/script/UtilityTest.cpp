// UtilityTest.cpp: the Utility module: "Utility.lua" once per state and the
// resource texts it gives the scripts.
#include "ScriptTestFixture.h"

#include "core/lang/ResourceFile.h"
#include "sprites/script/Utility.h"
#include "tools/archive/ArchiveWriter.h"

namespace {

using UtilityTest = ScriptTestFixture;

TEST_F(UtilityTest, RunsOncePerStateAndGivesResourceTexts)
{
    write("Utility.lua", "utilityRuns = (utilityRuns or 0) + 1\nhv = hv or {}");
    tools::ArchiveWriter archive;
    archive.addText("IDS_GAMETITLE", "Lanternfield");
    archive.addText("IDS_CAFE", "Caf\xc3\xa9");
    ASSERT_TRUE(archive.write(m_dir.file("texts.bin")));
    lang::ResourceFile::open(lang::String(m_dir.file("texts.bin").c_str()));

    Utility* first = Utility::instance();
    EXPECT_EQ(first, Utility::instance());
    EXPECT_EQ(1, globalInt("utilityRuns"));
    Utility::instance();
    EXPECT_EQ(1, globalInt("utilityRuns"));
    EXPECT_EQ("", run("assert(hv.getResourceString('IDS_GAMETITLE') == 'Lanternfield')\n"
                      "assert(hv.getResourceString('IDS_CAFE') == 'Caf\\233')\n"
                      "assert(hv.getResourceString('IDS_MISSING') == '')"));
    EXPECT_NE(std::string::npos, run("hv.getResourceString()").find("string expected"));
    lang::ResourceFile::closeAll();
}

TEST_F(UtilityTest, AFailingScriptWritesOneLineAndRegistersNothing)
{
    write("Utility.lua", "hv = {");
    ::testing::internal::CaptureStderr();
    Utility::instance();
    std::string line = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, line.find("Utility.lua"));
    EXPECT_EQ(1, std::count(line.begin(), line.end(), '\n'));
    EXPECT_EQ("<nil>", globalText("hv"));
    EXPECT_TRUE(m_boxes.boxes().empty());
    EXPECT_EQ(0, lua_gettop(L));
    // It is not tried again.
    ::testing::internal::CaptureStderr();
    Utility::instance();
    EXPECT_EQ("", ::testing::internal::GetCapturedStderr());
}

} // namespace
