#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <tuple>

#include "backdrop_bands.h"
#include "link_font.h"
#include "pack_cases.h"
#include "uninstall_entry.h"
#include "version_pack.h"

std::uint32_t Pack(std::string text) { return PackFileVersion(&text[0]); }

// The installer compares packed numbers, so they must order like the versions.
TEST(PackFileVersion, PacksOneBytePerComponentInVersionOrder)
{
    for (const PackCase& c : kPackCases) EXPECT_EQ(Pack(c.text), c.packed) << c.name;
    const char* ascending[] = {"", "0, 9, 9, 9", "1, 0, 0, 9", "1, 0, 1, 0", "1.1", "2"};
    for (size_t i = 1; i < std::size(ascending); ++i) EXPECT_LT(Pack(ascending[i - 1]), Pack(ascending[i])) << ascending[i];
}

TEST(FormatDisplayVersion, ShowsThreeOrFourComponentsOrNothingWhenTooSmall)
{
    const std::tuple<std::uint32_t, size_t, const char*> cases[] = {
        {0x01000100, 6, "1.0.1"}, {0x01000009, 32, "1.0.0.9"}, {0x01000100, 5, ""}};
    for (const auto& [packed, size, text] : cases) {
        char out[32] = "garbage";
        EXPECT_EQ(FormatDisplayVersion(packed, out, size), *text != '\0') << text;
        EXPECT_STREQ(out, text);
    }
}

// A key that refuses its nth value and notes the names it keeps and its removal.
struct RefusingKey : EntryKey {
    explicit RefusingKey(int refuse) : refuse(refuse) {}
    bool SetString(const char* name, const char*) override { return ++calls != refuse && (values += name, true); }
    void Remove() override { removed = true; }
    int refuse, calls = 0;
    std::string values;
    bool removed = false;
};

TEST(RecordUninstallEntry, NeverLeavesANameWithoutItsCommand)
{
    const char* command = "C:\\WINDOWS\\VelloranSaver.scr -UNINSTALL";
    const std::tuple<int, const char*, const char*> cases[] = {  // refused value (0 none), command, values kept
        {0, command, "DisplayNameUninstallString"}, {1, command, ""}, {2, command, "DisplayName"}, {0, nullptr, ""}};
    for (const auto& [refuse, cmd, values] : cases) {
        RefusingKey key(refuse);
        const bool kept = refuse == 0 && cmd;
        EXPECT_EQ(std::make_tuple(RecordUninstallEntry(key, "Velloran Saver", cmd), key.values, key.removed),
                  std::make_tuple(kept, std::string(values), !kept)) << refuse;
    }
}

// Whatever the height, the bands tile the area without gap or overlap, one blue step per band.
TEST(BackdropBands, TileTheAreaTopToBottom)
{
    const int areas[][6] = {// right, bottom, bottoms of the first four bands
                            {1023, 768, 3, 6, 9, 12}, {1279, 1000, 3, 7, 11, 15}, {99, 100, 0, 0, 1, 1}, {0, 0, 0, 0, 0, 0}};
    for (const auto& a : areas) {
        const auto bands = BackdropBands(a[0], a[1]);
        EXPECT_EQ(bands.back().bottom, a[1]);
        for (int i = 0; i < kBandCount; ++i)
            EXPECT_EQ(std::make_tuple(bands[i].top, bands[i].right, bands[i].blue, i < 4 ? bands[i].bottom : 0),
                      std::make_tuple(i > 0 ? bands[i - 1].bottom : 0, a[0] + 1, 255 - i, i < 4 ? a[2 + i] : 0))
                << a[1] << " " << i;
    }
}

TEST(LinkFontHeight, KeepsStepWithTheResolution)
{
    const int cases[][2] = {{96, 10}, {120, 13}, {144, 15}, {192, 20}, {288, 30}};
    for (const auto& c : cases) EXPECT_EQ(LinkFontHeight(c[0]), c[1]) << c[0] << " dpi";
}
