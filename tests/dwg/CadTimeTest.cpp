// The creation-time conversion: local wall time with the daylight-saving rule of the instant, whole seconds.
#include "drawing/CadTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace dwg {
namespace {

constexpr double second = 1.0 / 86400.0;

// Day numbers: 2021-01-15 = 2459230, 2021-07-01 = 2459397 (1970-01-01 = 2440588).
constexpr std::int32_t winterDay = 2459230;
constexpr std::int32_t summerDay = 2459397;

std::int32_t msOf(int hours, int minutes, int seconds, int ms = 0)
{
    return ((hours * 60 + minutes) * 60 + seconds) * 1000 + ms;
}

class CadTimeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* tz = std::getenv("TZ");
        m_hadZone = tz != nullptr;
        m_savedZone = tz != nullptr ? tz : "";
    }
    void TearDown() override
    {
        if (m_hadZone) {
            setenv("TZ", m_savedZone.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    static void useZone(const char* zone)
    {
        setenv("TZ", zone, 1);
        tzset();
    }

private:
    bool m_hadZone = false;
    std::string m_savedZone;
};

TEST_F(CadTimeTest, WinterDateInBerlinIsOneHourAhead)
{
    useZone("Europe/Berlin");
    const double jd = cadJulianDate({winterDay, msOf(10, 23, 3)});
    EXPECT_NEAR(jd, winterDay + (11 * 3600 + 23 * 60 + 3) * second, 1e-9);
}

TEST_F(CadTimeTest, SummerDateInBerlinIsTwoHoursAhead)
{
    useZone("Europe/Berlin");
    const double jd = cadJulianDate({summerDay, msOf(10, 23, 3)});
    EXPECT_NEAR(jd, summerDay + (12 * 3600 + 23 * 60 + 3) * second, 1e-9);
}

TEST_F(CadTimeTest, LocalDayAfterTheUniversalDay)
{
    useZone("Europe/Berlin");
    const double jd = cadJulianDate({summerDay, msOf(23, 30, 0)});
    EXPECT_NEAR(jd, (summerDay + 1) + (1 * 3600 + 30 * 60) * second, 1e-9);
}

TEST_F(CadTimeTest, LocalDayBeforeTheUniversalDay)
{
    useZone("America/New_York");
    const double jd = cadJulianDate({summerDay, msOf(2, 0, 0)});
    EXPECT_NEAR(jd, (summerDay - 1) + 22 * 3600 * second, 1e-9);
}

TEST_F(CadTimeTest, MillisecondsAreCutNotRounded)
{
    useZone("UTC");
    const double jd = cadJulianDate({winterDay, msOf(10, 23, 21, 854)});
    EXPECT_NEAR(jd, winterDay + (10 * 3600 + 23 * 60 + 21) * second, 1e-9);
}

TEST_F(CadTimeTest, HalfHourZone)
{
    useZone("Asia/Kolkata");
    const double jd = cadJulianDate({winterDay, msOf(0, 0, 0)});
    EXPECT_NEAR(jd, winterDay + (5 * 3600 + 30 * 60) * second, 1e-9);
}

TEST_F(CadTimeTest, CorpusDrawingCreationTime)
{
    // sample_AC1015: stored (2459632, 37383000); the CAD program shows 2459632.474340278 in CET.
    useZone("Europe/Berlin");
    EXPECT_NEAR(cadJulianDate({2459632, 37383000}), 2459632.474340278, 1e-8);
    EXPECT_NEAR(storedJulianDate({2459632, 37383000}), 2459632.432673611, 1e-8);
}

TEST_F(CadTimeTest, StoredJulianDateKeepsMilliseconds)
{
    EXPECT_DOUBLE_EQ(storedJulianDate({2459632, 43200000}), 2459632.5);
    EXPECT_NEAR(storedJulianDate({winterDay, msOf(0, 0, 0, 864)}), winterDay + 0.00001, 1e-12);
}

} // namespace
} // namespace dwg
