// Keeping a window above all ordinary windows of the desktop.
#pragma once

#include <windows.h>

namespace marlo {

// SetWindowPos with HWND_TOPMOST and SWP_NOMOVE | SWP_NOSIZE (3): the window keeps its place and
// size, is activated and goes to the top of the topmost group. True when the platform accepted.
bool MakeTopMost(HWND window);

}  // namespace marlo
