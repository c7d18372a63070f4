#include "platform/win32/SystemLibraries.h"

#include "util/win32/WideText.h"

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

}  // namespace

// Looked up rather than imported: the program still starts on a system
// without it. kernel32 is loaded before any code of ours runs.
bool LimitLibrarySearchToSystem() {
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto limit = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFunction>(
                                    reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")))
                              : nullptr;
    if (limit && limit(LOAD_LIBRARY_SEARCH_SYSTEM32)) return true;
    ::SetDllDirectoryW(L"");
    return false;
}

HMODULE LoadSystemLibrary(const char* name) {
    return ::LoadLibraryExW(Widen(name).c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}
