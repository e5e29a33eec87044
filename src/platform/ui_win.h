// Small helpers for building windows out of standard controls.
#pragma once

#include <windows.h>

namespace marlo {

// "MS Sans Serif" at a point size at 96 dots per inch, bold. Lives as long as the program.
HFONT SansSerifBold(double points);

// A child control at a position in the parent's client area, with its font set.
HWND CreateChild(HWND parent, const char* window_class, const char* text, DWORD style, int left,
                 int top, int width, int height, int id, HFONT font, DWORD ex_style = 0);

// A solid brush of a colour, kept for the life of the program.
HBRUSH SolidBrush(COLORREF colour);

// Centres a window of a given outer size on the primary screen.
void CentreOnScreen(HWND window, int width, int height);

}  // namespace marlo
