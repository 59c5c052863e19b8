// The built programs as a user receives them: present, and carrying the
// version that the installer's check and the dialogs read.
#include <gtest/gtest.h>

#include "winhelp.h"

namespace {

std::string StringField(const std::string& file, const char* field)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
    if (size == 0) return "<no version resource>";
    std::string block(size, '\0');
    if (!GetFileVersionInfoA(file.c_str(), 0, size, &block[0])) return "<unreadable>";
    char query[128];
    wsprintfA(query, "\\StringFileInfo\\040904b0\\%s", field);
    char* value = nullptr;
    UINT len = 0;
    if (!VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&value), &len)) return "<missing>";
    return value;
}

}  // namespace

TEST(BuiltScreensaver, CarriesItsVersionResource)
{
    const std::string scr = wt::Artefact("VelloranSaver.scr");
    EXPECT_EQ(StringField(scr, "FileVersion"), "1, 0, 1, 0");
    EXPECT_EQ(StringField(scr, "ProductVersion"), "1, 0, 1, 0");
    EXPECT_EQ(StringField(scr, "OriginalFilename"), "VelloranSaver.scr");
    EXPECT_EQ(StringField(scr, "FileDescription"), "VELLORAN SAVER Application");

    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(scr.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(scr.c_str(), 0, size, &block[0]));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00010000u);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &len));
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04b0);
}
