// The running executable's own file version as the dialogs show it.
#pragma once
#include <string>

// "1.0.1" and the like (see FormatVersionNumbers), or "Unknown" when the
// executable carries no readable version resource.
std::string FormatFileVersion();
