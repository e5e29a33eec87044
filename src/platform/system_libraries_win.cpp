#include "platform/system_libraries_win.h"

// After windows.h, which it needs; only for BCryptGenRandom's type and flag, nothing is imported.
#include <bcrypt.h>

#include <string>

namespace marlo {
namespace {

// Windows 7 without its library-search update knows neither SetDefaultDllDirectories nor
// LOAD_LIBRARY_SEARCH_SYSTEM32. There a library is loaded by its full path in the system folder,
// and what it loads in turn is looked for beside it first.
HMODULE LoadFromSystem(const wchar_t* library) {
  HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module != nullptr) return module;
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, length) + L"\\" + library;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

template <typename Function>
Function FromSystem(const wchar_t* library, const char* name) {
  HMODULE module = LoadFromSystem(library);
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

void RestrictLibrarySearch() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  const auto set_directories = reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (set_directories != nullptr) set_directories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryW(L"");  // and never the current folder
}

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

DWORD WNetGetConnectionFromSystem(const wchar_t* drive, wchar_t* connection, DWORD* length) {
  using Get = DWORD(WINAPI*)(const wchar_t*, wchar_t*, DWORD*);
  static const Get get = FromSystem<Get>(L"mpr.dll", "WNetGetConnectionW");
  return get != nullptr ? get(drive, connection, length) : ERROR_NOT_SUPPORTED;
}

HIMAGELIST ImageListFromSystem(int size) {
  using Create = HIMAGELIST(WINAPI*)(int, int, UINT, int, int);
  static const Create create = FromSystem<Create>(L"comctl32.dll", "ImageList_Create");
  return create != nullptr ? create(size, size, ILC_COLOR32 | ILC_MASK, 8, 16) : nullptr;
}

int PutIconFromSystem(HIMAGELIST list, int index, HICON icon) {
  using Replace = int(WINAPI*)(HIMAGELIST, int, HICON);
  static const Replace replace = FromSystem<Replace>(L"comctl32.dll", "ImageList_ReplaceIcon");
  return replace != nullptr && list != nullptr ? replace(list, index, icon) : -1;
}

void DestroyImageListFromSystem(HIMAGELIST list) {
  using Destroy = BOOL(WINAPI*)(HIMAGELIST);
  static const Destroy destroy = FromSystem<Destroy>(L"comctl32.dll", "ImageList_Destroy");
  if (destroy != nullptr && list != nullptr) destroy(list);
}

// Not advapi32's RtlGenRandom (SystemFunction036): Windows 7 and later forward it to cryptbase,
// which is no known DLL, and the forwarder is resolved when the exe loads, before the search is
// restricted, so a cryptbase.dll beside the exe would be loaded.
bool RandomFromSystem(void* buffer, unsigned long size) {
  using Generate = decltype(&BCryptGenRandom);
  static const Generate generate = FromSystem<Generate>(L"bcrypt.dll", "BCryptGenRandom");
  return generate != nullptr &&
         generate(nullptr, static_cast<PUCHAR>(buffer), size, BCRYPT_USE_SYSTEM_PREFERRED_RNG) >= 0;
}

}  // namespace marlo
