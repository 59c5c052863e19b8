#include "app/uninstall_batch.h"

#include <cstring>

namespace {

// Each line is its head, then (where a tail is given) the quoted path and
// the tail. The counter lives in the batch's own environment.
struct Line {
    const char* head;
    const char* tail;
};

const Line kLines[kUninstallBatchLineCount] = {
    {"SET tries=0\r\n", nullptr},
    {":f\r\n", nullptr},
    {"DEL \"", "\"\r\n"},
    {"IF NOT EXIST \"", "\" GOTO d\r\n"},
    {"SET /A tries+=1\r\n", nullptr},
    {"IF %tries% GEQ 30 GOTO d\r\n", nullptr},
    // The only pause every Windows has: the second echo comes a second after the first.
    {"PING -n 2 127.0.0.1 >NUL\r\n", nullptr},
    {"GOTO f\r\n", nullptr},
    {":d\r\n", nullptr},
    {"DEL %0\r\n", nullptr},
};

}  // namespace

std::size_t UninstallBatchLine(int index, const char* path, char* out, std::size_t size)
{
    if (index < 0 || index >= kUninstallBatchLineCount) return 0;
    const Line& line = kLines[index];
    const char* parts[] = {line.head, line.tail ? path : "", line.tail ? line.tail : ""};
    std::size_t length = 0;
    for (const char* part : parts) length += std::strlen(part);
    if (length + 1 > size) return 0;
    out[0] = '\0';
    for (const char* part : parts) std::strcat(out, part);
    return length;
}
