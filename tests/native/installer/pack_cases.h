// FileVersion texts and what they pack to, shared with the Windows test: both C runtimes must agree.
#pragma once
#include <cstdint>

struct PackCase { const char* name; const char* text; std::uint32_t packed; };

inline const PackCase kPackCases[] = {
    {"Shipped", "1, 0, 1, 0", 0x01000100},       {"TwoComponents", "1.2", 0x01020000},
    {"Above255KeepsLowByte", "1, 0, 256, 0", 0x01000000}, {"HexAndOctal", "0x1F.010.7.9", 0x1F080709},
    {"EmptyComponentStops", "1,,2", 0x01000000}, {"WordStops", "2.x.3", 0x02000000},
    {"FifthIgnored", "1.2.3.4.5", 0x01020304},   {"BlanksAndWords", "  7 beta, 8", 0x07080000},
    {"Negative", "-1.0", 0xFF000000},            {"NoNumber", "abc", 0},
};
