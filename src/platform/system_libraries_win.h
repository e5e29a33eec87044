// Libraries the menu uses beyond the core of Windows, loaded from the system folder only.
//
// The menu runs from a share that many can write to. A library named in the exe's import table
// that is not one of Windows' "known DLLs" (comctl32, for one) is looked for beside the exe
// before WinMain runs, so a file planted there would run inside the menu. These libraries are
// therefore not imported but loaded here, from the system folder, once the DLL search has been
// restricted to it. So are functions that older Windows versions lack, and those that a known DLL
// forwards to one that is not.
#pragma once

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <commdlg.h>

namespace marlo {

// Keeps every library the menu loads out of its own folder (and the current one): the system
// folder only, where Windows can be told so.
void RestrictLibrarySearch();

// Registers the list view and tooltip controls; false when comctl32 could not be loaded.
bool InitCommonControlsFromSystem();

// GetOpenFileNameW of comdlg32; FALSE when the library could not be loaded.
BOOL GetOpenFileNameFromSystem(OPENFILENAMEW* dialog);

// WNetGetConnectionW of mpr: the share a mapped drive leads to; an error where it cannot tell.
DWORD WNetGetConnectionFromSystem(const wchar_t* drive, wchar_t* connection, DWORD* length);

// An image list of comctl32 for icons `size` pixels square; an icon put in one, in place of image
// `index` or (-1) as a new one: its index, -1 when it could not be; and a list let go (the list
// view that shows one lets it go with itself). Null and -1 where comctl32 could not be loaded.
HIMAGELIST ImageListFromSystem(int size);
int PutIconFromSystem(HIMAGELIST list, int index, HICON icon);
void DestroyImageListFromSystem(HIMAGELIST list);

// Fills `buffer` from the system's preferred random source (BCryptGenRandom of bcrypt); false
// when the library could not be loaded or the source failed.
bool RandomFromSystem(void* buffer, unsigned long size);

}  // namespace marlo
