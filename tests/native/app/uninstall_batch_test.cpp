#include <gtest/gtest.h>

#include <string>

#include "app/uninstall_batch.h"

namespace {

std::string BatchText(const char* path, std::size_t lineSize)
{
    std::string text;
    char line[64];
    for (int i = 0; i < kUninstallBatchLineCount; ++i) {
        const std::size_t length = UninstallBatchLine(i, path, line, lineSize);
        if (length == 0) return "line " + std::to_string(i) + " missing";
        text.append(line, length);
    }
    return text;
}

TEST(UninstallBatch, RetriesWithAPauseAtMostThirtyTimesThenDeletesItself)
{
    EXPECT_EQ(BatchText("C:\\WINDOWS\\VELLOR~1.SCR", 64),
              "SET tries=0\r\n:f\r\nDEL \"C:\\WINDOWS\\VELLOR~1.SCR\"\r\n"
              "IF NOT EXIST \"C:\\WINDOWS\\VELLOR~1.SCR\" GOTO d\r\nSET /A tries+=1\r\n"
              "IF %tries% GEQ 30 GOTO d\r\nPING -n 2 127.0.0.1 >NUL\r\nGOTO f\r\n:d\r\nDEL %0\r\n");
    // A line that does not fit is refused, never cut.
    char line[64];
    EXPECT_EQ(UninstallBatchLine(2, "C:\\WINDOWS\\VELLOR~1.SCR", line, 31), 0u);
    EXPECT_EQ(UninstallBatchLine(kUninstallBatchLineCount, "x", line, sizeof line), 0u);
}

}  // namespace
