// The shipped screensaver's version texts, as the file's properties show them.
#include <gtest/gtest.h>

#include "winhelp.h"

TEST(BuiltScreensaver, CarriesItsVersionTexts)
{
    const std::string scr = wt::Artefact("VelloranSaver.scr");
    std::string block(GetFileVersionInfoSizeA(scr.c_str(), nullptr), '\0');
    ASSERT_TRUE(GetFileVersionInfoA(scr.c_str(), 0, DWORD(block.size()), &block[0]));
    const char* const fields[][2] = {{"FileVersion", "1, 0, 1, 0"}, {"ProductVersion", "1, 0, 1, 0"},
                                     {"OriginalFilename", "VelloranSaver.scr"},
                                     {"FileDescription", "VELLORAN SAVER Application"}};
    for (const auto& f : fields) {
        char* value = nullptr;
        UINT len = 0;
        const std::string query = std::string("\\StringFileInfo\\040904b0\\") + f[0];
        const bool found = VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &len);
        EXPECT_EQ(found ? std::string(value) : "missing", f[1]) << f[0];
    }
}
