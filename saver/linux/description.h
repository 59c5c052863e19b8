// What the program shows, in the words that both the daemon's settings dialog
// and the manual page give it.
#pragma once

inline constexpr char kProgramDescription[] =
    "Coloured balls fall through a random field of grey pins, bounce off them,\n"
    "off each other and off the walls, throw white sparks at every contact and\n"
    "wrap from the bottom of the screen back to the top. Balls that get stuck\n"
    "on a pin knock it out.\n";
