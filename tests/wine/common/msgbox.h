// What a message box of another process shows: its buttons and which of the
// system's standard icons it carries.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace wt {

enum class BoxIcon { None, Information, Warning, Error, Question, Unknown };
const char* ToString(BoxIcon icon);

// The ids of the box's visible buttons, left to right (IDYES, IDNO, ...).
std::vector<int> MessageBoxButtons(HWND box);

// The icon, told apart by comparing the box's pixels with each standard icon
// drawn here; polls until one matches (the box may not have painted yet), and
// gives Unknown when none has matched within timeoutMs.
BoxIcon MessageBoxIcon(HWND box, DWORD timeoutMs);

}  // namespace wt
