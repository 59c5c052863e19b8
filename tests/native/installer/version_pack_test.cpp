#include "version_pack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "pack_cases.h"

namespace {

std::uint32_t Pack(const char* text)
{
    std::vector<char> copy(text, text + std::string(text).size() + 1);
    return PackFileVersion(copy.data());
}

TEST(PackFileVersion, PacksOneBytePerComponent)
{
    for (const PackCase& c : kPackCases) EXPECT_EQ(Pack(c.text), c.packed) << c.name << ": \"" << c.text << "\"";
}

// The installer decides by comparing packed numbers, so their order must be
// the order of the versions, component by component.
TEST(PackFileVersion, OrdersLikeVersions)
{
    const char* ascending[] = {"", "0, 9, 9, 9", "1, 0, 0, 9", "1, 0, 1, 0", "1, 0, 2, 0", "1.1", "2"};
    for (size_t i = 1; i < sizeof ascending / sizeof *ascending; ++i)
        EXPECT_LT(Pack(ascending[i - 1]), Pack(ascending[i])) << ascending[i - 1] << " < " << ascending[i];
}

TEST(FormatDisplayVersion, ShowsThreeOrFourComponentsOrNothingWhenTooSmall)
{
    const struct {
        std::uint32_t packed;
        size_t size;
        const char* text;  // empty: refused
    } cases[] = {{0x01000100, 32, "1.0.1"},       {0x01000009, 32, "1.0.0.9"}, {0xFFFFFFFF, 32, "255.255.255.255"},
                 {0x01000100, 6, "1.0.1"},        {0x01000100, 5, ""},        {0x0A141E00, 8, ""}};
    for (const auto& c : cases) {
        char out[32];
        std::fill(out, out + sizeof out, 'x');
        EXPECT_EQ(FormatDisplayVersion(c.packed, out, c.size), *c.text != '\0') << c.text;
        EXPECT_STREQ(out, c.text);
    }
}

}  // namespace
