#include "version_pack.h"

#include <cstdlib>
#include <cstring>

std::uint32_t PackFileVersion(char* text)
{
    std::uint32_t packed = 0;
    int components = 0;
    char* cursor = text;
    while (components < 4) {
        char* end = cursor + std::strcspn(cursor, ".,");
        const bool lastComponent = (*end == '\0');
        *end = '\0';
        // strtol with base 0 is the conversion that "%i" performs: blanks
        // skipped, then decimal, 0x hexadecimal or leading-0 octal.
        char* numberEnd = cursor;
        const long value = std::strtol(cursor, &numberEnd, 0);
        if (numberEnd == cursor) break;
        packed = (packed << 8) + (static_cast<std::uint32_t>(value) & 0xFF);
        ++components;
        if (lastComponent) break;
        cursor = end + 1;
    }
    // One shift per missing component rather than one shift by their total:
    // a text without any number would otherwise shift by 32 bits.
    for (; components < 4; ++components) packed <<= 8;
    return packed;
}

namespace {

// Appends value in decimal at out[used]; returns the new length, or size when
// it does not fit with a terminator.
std::size_t AppendNumber(char* out, std::size_t size, std::size_t used, unsigned value)
{
    char digits[4];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    if (used + count >= size) return size;
    while (count > 0) out[used++] = digits[--count];
    out[used] = '\0';
    return used;
}

}  // namespace

bool FormatDisplayVersion(std::uint32_t packed, char* out, std::size_t size)
{
    if (size == 0) return false;
    const int shown = (packed & 0xFF) != 0 ? 4 : 3;
    std::size_t used = 0;
    for (int i = 0; i < shown && used < size; ++i) {
        if (i > 0) {
            if (used + 1 >= size) {
                used = size;
                break;
            }
            out[used++] = '.';
        }
        used = AppendNumber(out, size, used, (packed >> (24 - 8 * i)) & 0xFF);
    }
    if (used >= size) {
        out[0] = '\0';
        return false;
    }
    return true;
}
