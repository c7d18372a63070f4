#pragma once
// Libraries from the system folder only. Windows looks for a DLL in the
// program's own folder before System32, and a portable copy, a copy run
// from a share or an installation folder that users can write to would then
// run whatever DLL someone put beside it under the system library's name.

#include <windows.h>

// Limits every later search of this process to System32
// (SetDefaultDllDirectories with LOAD_LIBRARY_SEARCH_SYSTEM32). Where the
// system lacks that function (Windows 7 without its update), the current
// folder at least is taken out of the search, and the result is false.
bool LimitLibrarySearchToSystem();

// LoadLibraryExW with LOAD_LIBRARY_SEARCH_SYSTEM32: the library of that name
// in System32, or none.
HMODULE LoadSystemLibrary(const char* name);
