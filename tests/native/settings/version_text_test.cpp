#include <gtest/gtest.h>

#include <ostream>

#include "settings/version_text.h"

namespace {

struct VersionCase {
    unsigned parts[4];
    const char* expected;
    friend std::ostream& operator<<(std::ostream& os, const VersionCase& c)
    {
        return os << c.parts[0] << '.' << c.parts[1] << '.' << c.parts[2] << '.' << c.parts[3];
    }
};

class FormatVersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(FormatVersionTest, DropsTrailingZeroPartsDownToTwo)
{
    const unsigned* p = GetParam().parts;
    EXPECT_EQ(FormatVersionNumbers((p[0] << 16) | p[1], (p[2] << 16) | p[3]), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    FileVersions, FormatVersionTest,
    ::testing::Values(VersionCase{{1, 0, 1, 0}, "1.0.1"}, VersionCase{{1, 0, 0, 0}, "1.0"},
                      VersionCase{{1, 0, 0, 7}, "1.0.0.7"}, VersionCase{{2, 5, 3, 1}, "2.5.3.1"},
                      VersionCase{{0, 0, 0, 0}, "0.0"},
                      // A zero third part stays when the fourth is not zero.
                      VersionCase{{3, 0, 0, 1}, "3.0.0.1"}, VersionCase{{0, 0, 5, 0}, "0.0.5"},
                      // Each part is a 16-bit word: the high and low words must not bleed into each other.
                      VersionCase{{65535, 65535, 65535, 65535}, "65535.65535.65535.65535"},
                      VersionCase{{0, 65535, 0, 0}, "0.65535"}, VersionCase{{65535, 0, 0, 0}, "65535.0"}));

}  // namespace
