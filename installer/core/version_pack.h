// Turning a version resource's "FileVersion" text into one number that
// compares the way versions do: one byte per component, most significant first.
#pragma once

#include <cstddef>
#include <cstdint>

// Packs up to four components of text, read as C's "%i" reads them (decimal,
// 0x hexadecimal, leading-0 octal; low 8 bits kept). Components are separated
// by '.' or ','; reading stops at the first one that holds no number, and the
// components never read count as zero bytes. The text is cut apart in place:
// the separators are overwritten with terminators.
std::uint32_t PackFileVersion(char* text);

// The packed version as shown in the system's software list: "1.0.1", with a
// fourth component only when it is not zero ("1.0.0.9"). Returns false, with
// out emptied, when out is too small.
bool FormatDisplayVersion(std::uint32_t packed, char* out, std::size_t size);
