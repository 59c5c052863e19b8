#include <gtest/gtest.h>

#include <string>

#include "app/uninstall_batch.h"

TEST(UninstallBatch, FourLinesThatDeleteTheFileThenThemselves)
{
    const std::string path = "C:\\WINDOWS\\VELLOR~1.SCR";  // 23 characters
    const std::string expected =
        ":f\r\n"
        "DEL \"C:\\WINDOWS\\VELLOR~1.SCR\"\r\n"
        "IF EXIST \"C:\\WINDOWS\\VELLOR~1.SCR\" goto f\r\n"
        "DEL %0\r\n";
    EXPECT_EQ(UninstallBatchText(path), expected);
    EXPECT_EQ(UninstallBatchText(path).size(), 86u);
}

TEST(UninstallBatch, SizeIsTwiceThePathPlusForty)
{
    for (const std::string& path : {std::string(), std::string("a"), std::string("C:\\Program Files\\My Saver.scr"),
                                   std::string(300, 'x')}) {
        const std::string text = UninstallBatchText(path);
        EXPECT_EQ(text.size(), 2 * path.size() + 40) << path;
        EXPECT_EQ(text.compare(text.size() - 8, 8, "DEL %0\r\n"), 0);
    }
}
