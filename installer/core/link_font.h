// The welcome dialog's web link is drawn in a font of its own.
#pragma once

// Its height in pixels: 10 at 96 dots per inch, and in step with the
// dialog's text (which the system scales) at any other resolution.
int LinkFontHeight(int dotsPerInch);
