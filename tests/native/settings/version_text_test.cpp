#include <gtest/gtest.h>

#include "settings/version_text.h"

namespace {

TEST(FormatVersionNumbers, DropsTrailingZeroPartsDownToTwo)
{
    const struct {
        unsigned parts[4];
        const char* text;
    } cases[] = {
        {{1, 0, 1, 0}, "1.0.1"}, {{1, 0, 0, 0}, "1.0"}, {{1, 0, 0, 7}, "1.0.0.7"}, {{2, 5, 3, 1}, "2.5.3.1"},
        {{0, 0, 0, 0}, "0.0"}, {{3, 0, 0, 1}, "3.0.0.1"}, {{0, 0, 5, 0}, "0.0.5"},  // a zero third part stays before a fourth
        // Each part is a 16-bit word: high and low words must not bleed into each other.
        {{65535, 65535, 65535, 65535}, "65535.65535.65535.65535"}, {{0, 65535, 0, 0}, "0.65535"},
        {{65535, 0, 0, 0}, "65535.0"},
    };
    for (const auto& c : cases) {
        const unsigned* p = c.parts;
        char text[32];
        FormatVersionNumbers((p[0] << 16) | p[1], (p[2] << 16) | p[3], text);
        EXPECT_STREQ(text, c.text);
    }
}

}  // namespace
