#include "platform/system_libraries_win.h"

namespace marlo {
namespace {

template <typename Function>
Function FromSystem(const wchar_t* library, const char* name) {
  HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

bool InitCommonControlsFromSystem() {
  using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  static const Init init = FromSystem<Init>(L"comctl32.dll", "InitCommonControlsEx");
  if (init == nullptr) return false;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
  return init(&controls) != FALSE;
}

BOOL GetOpenFileNameFromSystem(OPENFILENAMEW* dialog) {
  using Open = BOOL(WINAPI*)(OPENFILENAMEW*);
  static const Open open = FromSystem<Open>(L"comdlg32.dll", "GetOpenFileNameW");
  return open != nullptr ? open(dialog) : FALSE;
}

}  // namespace marlo
