#include "platform/program_icons_win.h"

#include <algorithm>
#include <map>
#include <optional>

#include "platform/text_win.h"
#include "platform/ui_win.h"

namespace marlo {
namespace {

// The first icon of the file at exactly the size asked: the system picks the best of the file's
// own images and scales it. None for a file without icons; nothing for one that cannot be opened.
// (A folder gives no icons either, and is no program.)
std::optional<HICON> FirstIcon(const std::wstring& path, int size) {
  HICON icon = nullptr;
  const UINT count =
      PrivateExtractIconsW(path.c_str(), 0, size, size, &icon, nullptr, 1, LR_DEFAULTCOLOR);
  if (count == 0xFFFFFFFF) return std::nullopt;
  if (count > 0) return icon;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  return nullptr;
}

using Painter = void (*)(HDC dc, int size, COLORREF colour);

// A thin rounded frame: something will be shown here.
void PaintPlaceholder(HDC dc, int size, COLORREF colour) {
  HGDIOBJ old_pen = SelectObject(dc, CreatePen(PS_SOLID, 1, colour));
  HGDIOBJ old_brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  const int inset = std::max(1, size / 8);
  RoundRect(dc, inset, inset, size - inset, size - inset, size / 4, size / 4);
  DeleteObject(SelectObject(dc, old_pen));
  SelectObject(dc, old_brush);
}

// A ring with a bar across it, as a sign that says "not here".
void PaintMissing(HDC dc, int size, COLORREF colour) {
  const int width = std::max(2, size / 8);
  HGDIOBJ old_pen = SelectObject(dc, CreatePen(PS_SOLID, width, colour));
  HGDIOBJ old_brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  const int inset = width / 2 + 1;
  Ellipse(dc, inset, inset, size - inset + 1, size - inset + 1);
  const int bar = size / 4 + inset / 2;
  MoveToEx(dc, bar, bar, nullptr);
  LineTo(dc, size - bar, size - bar);
  DeleteObject(SelectObject(dc, old_pen));
  SelectObject(dc, old_brush);
}

Painter PainterOf(ProgramMark mark) {
  return mark == ProgramMark::kMissing ? &PaintMissing : &PaintPlaceholder;
}

COLORREF ColourOf(ProgramMark mark) {
  return PaintColours(mark == ProgramMark::kMissing ? Part::kMissingProgram
                                                    : Part::kIconPlaceholder)
      .text;
}

// The system's program icon at `size`, made once a size and kept. The system's own is shared, and
// comes at the size first asked for whatever the size asked later: a copy at each size is made
// from it.
HICON SystemProgramIcon(int size) {
  static std::map<int, HICON> icons;
  HICON& icon = icons[size];
  if (icon == nullptr) {
    HANDLE shared = LoadImageW(nullptr, MAKEINTRESOURCEW(32512) /* IDI_APPLICATION */, IMAGE_ICON,
                               size, size, LR_SHARED);
    icon = static_cast<HICON>(shared != nullptr ? CopyImage(shared, IMAGE_ICON, size, size, 0)
                                                : nullptr);
  }
  return icon;
}

}  // namespace

std::optional<std::uintptr_t> Win32ProgramIcons::IconOf(const std::string& path, int size) {
  const std::optional<HICON> icon = FirstIcon(Wide(path), size);
  if (!icon) return std::nullopt;
  return reinterpret_cast<std::uintptr_t>(*icon);
}

void Win32ProgramIcons::Free(std::uintptr_t icon) { DestroyIcon(reinterpret_cast<HICON>(icon)); }

int SmallIconSize(int dpi) {
  using ForDpi = int(WINAPI*)(int, UINT);
  static const auto for_dpi = reinterpret_cast<ForDpi>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi")));
  if (for_dpi != nullptr) return for_dpi(SM_CXSMICON, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(SM_CXSMICON), dpi, 96);
}

void DrawProgramLook(HDC dc, int x, int y, int size, const ProgramLook& look) {
  if (look.mark == ProgramMark::kFound) {
    HICON icon = look.icon != 0 ? reinterpret_cast<HICON>(look.icon) : SystemProgramIcon(size);
    DrawIconEx(dc, x, y, icon, size, size, 0, nullptr, DI_NORMAL);
    return;
  }
  POINT origin;
  SetViewportOrgEx(dc, x, y, &origin);
  PainterOf(look.mark)(dc, size, ColourOf(look.mark));
  SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
}

// Drawn twice: in its colour on black for the picture, in black on white for the mask (what is
// black in the mask is drawn, the rest stays the ground it is drawn on).
HICON ProgramLookIcon(ProgramMark mark, int size) {
  if (mark == ProgramMark::kFound) return CopyIcon(SystemProgramIcon(size));
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP colour = CreateCompatibleBitmap(screen, size, size);
  HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
  const RECT all{0, 0, size, size};
  HGDIOBJ old = SelectObject(dc, colour);
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  PainterOf(mark)(dc, size, ColourOf(mark));
  SelectObject(dc, mask);
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  PainterOf(mark)(dc, size, RGB(0, 0, 0));
  SelectObject(dc, old);
  ICONINFO parts{TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&parts);
  DeleteObject(mask);
  DeleteObject(colour);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return icon;
}

}  // namespace marlo
