#include "link_font.h"

int LinkFontHeight(int dotsPerInch)
{
    // Rounded to the nearest pixel, as the system rounds the dialog's font.
    return (10 * dotsPerInch + 48) / 96;
}
