// Locale: separators from the C library's locale and the buffer-size rules.
#include "platform/files/Locale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>

namespace {

// Runs a test in a numeric locale and restores the previous one.
class ScopedNumericLocale {
public:
    explicit ScopedNumericLocale(const char* name) : m_previous(std::setlocale(LC_NUMERIC, nullptr))
    {
        m_active = std::setlocale(LC_NUMERIC, name) != nullptr;
    }
    ~ScopedNumericLocale() { std::setlocale(LC_NUMERIC, m_previous.c_str()); }
    bool active() const { return m_active; }

private:
    std::string m_previous;
    bool m_active;
};

TEST(GetLocaleInfo, SeparatorsOfTheCLocale)
{
    ScopedNumericLocale c("C");
    char buffer[8];
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer), 2);
    EXPECT_STREQ(buffer, ".");
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "");
}

TEST(GetLocaleInfo, SizeBelowOneWritesNothingAndShortBuffersFail)
{
    ScopedNumericLocale c("C");
    char buffer[4] = {'k', 'k', 'k', 0};
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 0), 2);
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, nullptr, 0), 2);
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, -5), 2);
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 1), 0);
    EXPECT_STREQ(buffer, "kkk");
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, 0x1234, buffer, sizeof buffer), 0);
    EXPECT_EQ(GetLocaleInfoA(0x0409, LOCALE_SDECIMAL, buffer, sizeof buffer), 0);
}

TEST(GetLocaleInfo, FollowsAnInstalledLocale)
{
    ScopedNumericLocale german("de_DE.UTF-8");
    if (!german.active())
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    char buffer[8];
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer), 2);
    EXPECT_STREQ(buffer, ",");
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, buffer, sizeof buffer), 2);
    EXPECT_STREQ(buffer, ".");
}

} // namespace
