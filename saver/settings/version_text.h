// The short version text of the dialogs' version labels.
#pragma once
#include <cstdint>

// From the file version's two double words (major.minor, build.revision):
// trailing zero parts are dropped, but never below two parts, and a zero
// third part stays when the fourth is not zero (1.0.1.0 -> "1.0.1",
// 3.0.0.1 -> "3.0.0.1", 0.0.0.0 -> "0.0").
// 32 bytes hold any version.
void FormatVersionNumbers(uint32_t versionMS, uint32_t versionLS, char (&text)[32]);
