// FileVersion texts and the numbers they pack to. Shared by the native tests
// and the Windows test, so that both C runtimes are held to the same answers.
#pragma once

#include <cstdint>

struct PackCase {
    const char* name;
    const char* text;
    std::uint32_t packed;
};

inline const PackCase kPackCases[] = {
    {"ShippedVersion", "1, 0, 1, 0", 0x01000100},
    {"OlderFixture", "1, 0, 0, 9", 0x01000009},
    {"TwoComponentsPadWithZeroBytes", "1.2", 0x01020000},
    {"ComponentAbove255KeepsLowByte", "1, 0, 256, 0", 0x01000000},
    {"HexadecimalComponent", "1.0x10", 0x01100000},
    {"HexAndOctalComponents", "0x1F.010.7.9", 0x1F080709},
    {"EmptyComponentStops", "1,,2", 0x01000000},
    {"TrailingSeparatorStops", "1.2.", 0x01020000},
    {"WordStops", "2.x.3", 0x02000000},
    {"FifthComponentIgnored", "1.2.3.4.5", 0x01020304},
    {"LeadingBlanksSkipped", "  7 . 8", 0x07080000},
    {"TrailingWordInComponentIgnored", "3 beta, 1", 0x03010000},
    {"NegativeKeepsLowByte", "-1.0", 0xFF000000},
    {"EmptyText", "", 0},
    {"NoNumberAtAll", "abc", 0},
};
