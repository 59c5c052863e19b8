#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/mode.h"
#include "app/uninstall_batch.h"
#include "app/uninstall_rights.h"

TEST(SelectMode, FirstArgumentDecides)
{
    constexpr SaverMode C = SaverMode::Configure, P = SaverMode::Preview, S = SaverMode::FullScreen,
                        U = SaverMode::Uninstall, N = SaverMode::None;
    const std::pair<const char*, SaverMode> cases[] = {
        {"/c:592", C}, {"sc", C},    {"cs", C},   {"/C", N}, {"-P", P},          {"p", P},           {"/p:592", N},
        {"//p", N},    {"/s:1", S},  {"save", S}, {"/S", S}, {"S", S},           {"/S:1", N},        {"-UNINSTALL", U},
        {"-uninstall", N}, {"-UNINSTALLX", N}, {"", N}, {nullptr, C}};
    for (const auto& [argument, mode] : cases) {
        const char* argv[] = {"C:\\WINDOWS\\VELLOR~1.SCR", argument, "592"};
        EXPECT_EQ(int(SelectMode(argument ? 3 : 1, argv)), int(mode)) << '"' << (argument ? argument : "none") << '"';
    }
}

// Screen Saver Settings names its window after the configure switch, read as the preview's handle is: a signed
// decimal prefix after blanks, saturating at 32 bits. Nothing else names one.
TEST(ConfigureOwnerHandle, IsTheNumberAfterTheSwitchAndAColon)
{
    const std::pair<const char*, int32_t> cases[] = {{"/c:  +592abc", 592}, {"-c:-592", -592}, {"c:0x10", 0},
        {"/c:99999999999", INT32_MAX}, {"/c:-99999999999", INT32_MIN}, {"/c", 0}, {"/c:", 0}, {"/C:592", 0},
        {"/cc:592", 0}, {"/s:592", 0}, {nullptr, 0}};
    for (const auto& [argument, handle] : cases) EXPECT_EQ(ConfigureOwnerHandle(argument), handle) << (argument ? argument : "null");
    EXPECT_EQ(ParseWindowHandle(nullptr), 0) << "a preview without its handle";
}

// With user account control off by policy a standard user's restart is limited again: it still selects the
// uninstall, and asks no more.
TEST(NeedsElevation, AsksOnceEvenWhenRightsNeverCome)
{
    std::vector<std::string> restart = {"C:\\WINDOWS\\VelloranSaver.scr"};  // its arguments, split at blanks
    std::istringstream words(kElevatedRestartArguments);
    for (std::string word; words >> word;) restart.push_back(word);
    std::vector<const char*> first = {restart[0].c_str(), "-UNINSTALL"}, again;
    for (const std::string& word : restart) again.push_back(word.c_str());
    EXPECT_TRUE(NeedsElevation(int(first.size()), first.data(), Elevation::Limited, 0, kAccessDenied));
    EXPECT_EQ(int(SelectMode(int(again.size()), again.data())), int(SaverMode::Uninstall));
    EXPECT_FALSE(NeedsElevation(int(again.size()), again.data(), Elevation::Limited, 0, kAccessDenied));
}

// Never past the buffer, even when every character of both paths is a % that must be doubled.
TEST(UninstallBatchText, FitsWholeOrNotAtAll)
{
    const std::string percents(259, '%');
    const UninstallBatch batch = {percents.c_str(), percents.c_str(), "HKLM\\SOFTWARE\\Key"};
    std::vector<char> ample(8192);
    const size_t length = UninstallBatchText(batch, ample.data(), ample.size());
    EXPECT_GT(length, 4 * percents.size());
    for (const size_t size : {length + 1, length, size_t(1)}) {
        std::vector<char> out(size);
        EXPECT_EQ(UninstallBatchText(batch, out.data(), size), size > length ? length : 0) << size;
    }
}

// What the command interpreter must read literally, as the batch spells it (null: no batch).
TEST(UninstallBatchText, SpellsEachPathSoThatTheInterpreterReadsItLiterally)
{
    const std::pair<const char*, const char*> rows[] = {
        {"C:\\Program Files\\Sav er.scr", "\"C:\\Program Files\\Sav er.scr\""},
        {"C:\\100%\\%TEMP%.scr", "\"C:\\100%%\\%%TEMP%%.scr\""},
        {"C:\\A&B\\x^y(1)!z!.scr", "\"C:\\A&B\\x^y(1)!z!.scr\""},
        {"C:\\Sav\x83r.scr", "\"C:\\Sav\x83r.scr\""},  // a byte of the console's code page, as it is
        {"C:\\x\" & DEL C:\\*.scr", nullptr}, {"C:\\x\r\nDEL C:\\y.scr", nullptr}, {"C:\\x\ty.scr", nullptr}};
    for (const auto& [program, spelled] : rows) {
        char out[4096];
        const size_t length = UninstallBatchText({program, "C:\\WINDOWS\\system32", "HKLM\\SOFTWARE\\Key"}, out, sizeof out);
        ASSERT_EQ(length != 0, spelled != nullptr) << program;
        if (!spelled) continue;
        const std::string text(out, length);
        EXPECT_NE(text.find(std::string("\r\nDEL /F ") + spelled + "\r\n"), std::string::npos) << text;
        EXPECT_NE(text.find(std::string("\r\nIF NOT EXIST ") + spelled + " GOTO g\r\n"), std::string::npos) << text;
        EXPECT_NE(text.find("\\REG.EXE\" QUERY \"HKLM\\SOFTWARE\\Key\" /reg:64 "), std::string::npos) << text;
        EXPECT_NE(text.find("\\REG.EXE\" DELETE \"HKLM\\SOFTWARE\\Key\" /reg:64 "), std::string::npos) << text;
    }
}

// Never a wildcard, never a short form beyond ASCII: nothing but the program may match.
TEST(ProgramNameForBatch, NamesNothingButTheProgram)
{
    const char *shortForm = "C:\\PROGRA~1\\SAV~1.SCR", *exact = "C:\\Program Files\\Sav\xe9r.scr", *wild = "C:\\Sav?r.scr";
    const std::tuple<const char*, const char*, const char*> cases[] = {{shortForm, exact, shortForm},
        {"C:\\SAV\xe9~1.SCR", exact, exact}, {wild, nullptr, nullptr}, {nullptr, wild, nullptr}, {"", nullptr, nullptr}};
    for (const auto& [shortPath, longPath, name] : cases)
        EXPECT_EQ(ProgramNameForBatch(shortPath, longPath), name) << (shortPath ? shortPath : "none");
}
