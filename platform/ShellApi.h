#pragma once
// The seam for starting things with the programs the system associates with
// them: the shell's "open" verb, the test whether a path exists, and a
// command line run as it is. The Win32 backend starts real programs; the
// in-memory backend records what it was asked and answers as the test says,
// so that tests never start a browser or a mail program.

#include <cstdint>
#include <string>

// An opaque window; on Win32 it is the HWND value itself. Zero is none.
using WindowRef = std::uintptr_t;
inline constexpr WindowRef kNoWindow = 0;

class CShellApi {
public:
    virtual ~CShellApi() = default;

    // ShellExecuteW(owner, "open", target, no parameters, no folder,
    // SW_SHOW): true when the shell reports success (a result above 32).
    virtual bool OpenWithShell(const std::string& target, WindowRef owner) = 0;
    // FindFirstFileW finds the name.
    virtual bool PathExists(const std::string& path) = 0;
    // The command line run as WinExec runs it (CreateProcessW, the window
    // shown): true when the program was started.
    virtual bool RunCommandLine(const std::string& commandLine) = 0;
    // Explorer showing the folder of `path` with that file selected; the
    // file itself is not opened.
    virtual bool ShowInFolder(const std::string& path) = 0;
    // The PATHEXT environment variable: the extensions the system runs.
    virtual std::string ProgramExtensions() = 0;
};
