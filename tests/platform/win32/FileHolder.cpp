// A second process for the file tests: opens the file named first on its
// command line without sharing, signals the event named second, and keeps the
// file open until the event named third is signalled (at most ten seconds).
// Exits with 0 when it held the file.

#include <windows.h>

#include <memory>

namespace {

struct CHandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, CHandleCloser>;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    const UniqueHandle ready(::OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]));
    const UniqueHandle release(::OpenEventA(SYNCHRONIZE, FALSE, argv[3]));
    if (!ready || !release) return 3;
    const HANDLE file = ::CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 4;
    const UniqueHandle held(file);
    ::SetEvent(ready.get());
    return ::WaitForSingleObject(release.get(), 10000) == WAIT_OBJECT_0 ? 0 : 5;
}
