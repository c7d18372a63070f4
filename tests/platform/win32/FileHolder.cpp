// A second process for the file tests: opens the file named first on its
// command line without sharing, signals the event named second, and keeps the
// file open until the event named third is signalled (at most ten seconds).
// Exits with 0 when it held the file.

#include <windows.h>

#include <memory>

#include "util/win32/Handles.h"

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    const CHandle ready(::OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]));
    const CHandle release(::OpenEventA(SYNCHRONIZE, FALSE, argv[3]));
    if (!ready || !release) return 3;
    const HANDLE file = ::CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 4;
    const CWin32FileHandle held(file);
    ::SetEvent(ready.Get());
    return ::WaitForSingleObject(release.Get(), 10000) == WAIT_OBJECT_0 ? 0 : 5;
}
