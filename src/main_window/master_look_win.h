// What the main window draws on itself, under its controls: the mode strip, the banner, and the
// decorative pictures and shapes of its right half. Places are at 96 dots per inch, scaled to
// the window's dpi.
#pragma once

#include <windows.h>

namespace marlo {

inline constexpr COLORREF kModeStripColour = RGB(192, 192, 255);

// Paints the window's own drawing into `dc`; `client` is the window's client rectangle.
void PaintMasterLook(HDC dc, const RECT& client, int dpi);

// The top of the banner: 544 at 96 dpi, or higher where a frame leaves less room.
int BannerTop(const RECT& client, int dpi);

}  // namespace marlo
