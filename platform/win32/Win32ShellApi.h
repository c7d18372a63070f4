#pragma once
#include "platform/ShellApi.h"

// The shell seam on shell32 and kernel32: real programs start.
class CWin32ShellApi final : public CShellApi {
public:
    bool OpenWithShell(const std::string& target, WindowRef owner) override;
    bool PathExists(const std::string& path) override;
    bool RunCommandLine(const std::string& commandLine) override;
    bool ShowInFolder(const std::string& path) override;
    std::string ProgramExtensions() override;
};
