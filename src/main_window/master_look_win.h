// What the main window draws on itself, under its controls: the mode strip, the banner, and the
// decorative pictures and shapes of its right half. Places are at 96 dots per inch, scaled to
// the window's dpi.
#pragma once

#include <windows.h>

namespace marlo {

// Paints the window's own drawing into `dc`; `client` is the window's client rectangle.
void PaintMasterLook(HDC dc, const RECT& client, int dpi);

}  // namespace marlo
