#pragma once
// The shell as a test sets it up: which targets open, which paths exist and
// whether a command line starts; every request is recorded in order.

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/ShellApi.h"

class CMemoryShell final : public CShellApi {
public:
    struct COpen {
        std::string target;
        WindowRef owner;
    };

    void AllowOpen(std::string target) { m_openable.insert(std::move(target)); }
    void AddPath(std::string path) { m_paths.insert(std::move(path)); }
    void SetCommandsRun(bool run) { m_commandsRun = run; }
    void SetProgramExtensions(std::string pathExt) { m_pathExt = std::move(pathExt); }

    const std::vector<COpen>& Opens() const { return m_opens; }
    const std::vector<std::string>& PathsAsked() const { return m_pathsAsked; }
    const std::vector<std::string>& CommandLines() const { return m_commandLines; }
    const std::vector<std::string>& FoldersShown() const { return m_foldersShown; }

    bool OpenWithShell(const std::string& target, WindowRef owner) override {
        m_opens.push_back({target, owner});
        return m_openable.count(target) != 0;
    }
    bool PathExists(const std::string& path) override {
        m_pathsAsked.push_back(path);
        return m_paths.count(path) != 0;
    }
    bool RunCommandLine(const std::string& commandLine) override {
        m_commandLines.push_back(commandLine);
        return m_commandsRun;
    }
    bool ShowInFolder(const std::string& path) override {
        m_foldersShown.push_back(path);
        return true;
    }
    std::string ProgramExtensions() override { return m_pathExt; }

private:
    std::set<std::string> m_openable;
    std::set<std::string> m_paths;
    bool m_commandsRun = true;
    std::string m_pathExt = ".COM;.EXE;.BAT;.CMD";
    std::vector<COpen> m_opens;
    std::vector<std::string> m_pathsAsked;
    std::vector<std::string> m_commandLines;
    std::vector<std::string> m_foldersShown;
};
