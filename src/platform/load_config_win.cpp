// Marlo.exe's load configuration. Windows 10 and later read DependentLoadFlags from it and
// resolve the exe's imports from the system folder alone. That happens as the exe loads, before
// wWinMain's RestrictLibrarySearch can say anything, so no library planted beside the exe on the
// share is taken for one of them. MSVC's /DEPENDENTLOADFLAG:0x800 writes the same.
//
// The 112 bytes up to SEHandlerCount, the oldest 64-bit form, which every 64-bit Windows reads;
// these headers call DependentLoadFlags, the WORD at offset 78, Reserved1. GNU ld does not point
// the exe's load configuration entry (data directory 10) at this symbol, so
// cmake/set-load-config.sh does so after the link, from the link map.
#include <windows.h>

#include <cstddef>

static_assert(sizeof(IMAGE_LOAD_CONFIG_DIRECTORY64) == 112, "the 64-bit load configuration");
static_assert(offsetof(IMAGE_LOAD_CONFIG_DIRECTORY64, Reserved1) == 78, "DependentLoadFlags");

namespace {

constexpr IMAGE_LOAD_CONFIG_DIRECTORY64 SystemFolderOnly() {
  IMAGE_LOAD_CONFIG_DIRECTORY64 config{};
  config.Size = sizeof config;
  config.Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32;  // DependentLoadFlags
  return config;
}

}  // namespace

// constexpr: made at compile time, so its bytes are in the file, where Windows reads them.
extern "C" constexpr IMAGE_LOAD_CONFIG_DIRECTORY64 _load_config_used = SystemFolderOnly();
