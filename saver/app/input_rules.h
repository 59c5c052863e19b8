// The input rules of the full-screen saver, which the saver window and the
// blank monitor windows share: what ends it, and what does not.
//
// Any button press (left, middle, right) and any key press (system keys too)
// ends the saver. A mouse move ends it only once the pointer has really
// moved: the first move a window gets is only remembered, since the system
// may send one as soon as a window appears under the pointer; any later move
// to another point, by however little, is real. Button and key releases and
// the wheel end nothing. (The saver window also ends on loss of activation.)
#pragma once
#include "board/first_pointer.h"
#include "framework/window.h"

// True when the message should end the saver. The message gets its default
// processing either way.
bool InputEndsSaver(const Message& m, FirstPointer& firstMouse);
