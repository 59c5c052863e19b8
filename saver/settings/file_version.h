// The running executable's own file version as the dialogs show it.
#pragma once

// Writes "1.0.1" and the like (see FormatVersionNumbers) into text, or
// "Unknown" when the executable carries no readable version resource.
void FormatFileVersion(char (&text)[32]);
