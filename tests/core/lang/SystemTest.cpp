// Process-wide queries: separators from the archive or the locale, the flags.
#include "core/lang/ResourceFile.h"
#include "core/lang/System.h"
#include "tests/support/TempDir.h"
#include "tools/archive/ArchiveWriter.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>

namespace {

TEST(System, ArchiveSeparatorsOverrideTheLocale)
{
    testsupport::TempDir dir;
    tools::ArchiveWriter w;
    w.addText("IDS_DECIMAL_SEPARATOR", ",");
    w.addText("IDS_THOUSANDS_SEPARATOR", "");
    ASSERT_TRUE(w.write(dir.file("sep.bin")));
    lang::ResourceFile::open(lang::String(dir.file("sep.bin").c_str()));

    char buffer[8] = "xxxxxxx";
    lang::System::getDecimalSeparator(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, ",");
    lang::System::getDecimalSeparator(buffer, 1);
    EXPECT_STREQ(buffer, "") << "a one-byte buffer holds only the terminator";
    std::strcpy(buffer, "keep");
    lang::System::getDecimalSeparator(buffer, 0);
    EXPECT_STREQ(buffer, "keep") << "a size below 1 writes nothing";
    lang::System::getDecimalSeparator(nullptr, 4);

    // An empty item falls back to the locale: "C" groups with nothing, Windows
    // callers expect at least a terminated text.
    std::setlocale(LC_NUMERIC, "C");
    std::strcpy(buffer, "zzz");
    lang::System::getThousandsSeparator(buffer, sizeof buffer);
    EXPECT_LT(std::strlen(buffer), sizeof buffer);
    lang::ResourceFile::closeAll();

    lang::System::getDecimalSeparator(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, ".") << "the C locale's decimal point without an archive";
}

TEST(System, FlagsAndFontName)
{
    EXPECT_FALSE(lang::System::isDebugMode());
    lang::System::setDebugMode(true);
    EXPECT_TRUE(lang::System::isDebugMode());
    lang::System::setDebugMode(false);
    EXPECT_STREQ(lang::System::getDefaultFontName(), "Arial");
    lang::System::setDefaultFontName(lang::String("Verdana"));
    EXPECT_STREQ(lang::System::getDefaultFontName(), "Verdana");
    lang::System::setDefaultFontName(lang::String("Arial"));
    EXPECT_TRUE(lang::System::isFontSmoothingEnabled());
}

} // namespace
