#include "platform/topmost_win.h"

namespace marlo {

bool MakeTopMost(HWND window) {
  return SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE) != 0;
}

}  // namespace marlo
