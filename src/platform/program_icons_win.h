// The pictures listed programs are shown with, in both windows: the program file's own icon, the
// system's program icon for a file without one, a mark of the menu's own for a program that is
// not there, and a plain placeholder while it is still looked for.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace marlo {

class Win32ProgramIcons : public ProgramIcons {
 public:
  std::optional<std::uintptr_t> IconOf(const std::string& path, int size) override;
  void Free(std::uintptr_t icon) override;
};

// The small icon size at `dpi` (SM_CXSMICON as the system has it for that density).
int SmallIconSize(int dpi);

// Draws how `look` is shown, `size` pixels square, with its top left corner at x, y.
void DrawProgramLook(HDC dc, int x, int y, int size, const ProgramLook& look);

// The same pictures as icons of their own (for an image list): the placeholder (kUnknown), the
// mark of a missing program (kMissing), the system's program icon (kFound). Let go with
// DestroyIcon.
HICON ProgramLookIcon(ProgramMark mark, int size);

}  // namespace marlo
