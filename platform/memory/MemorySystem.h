#pragma once
// What the system tells about itself, set by the test.

#include <optional>
#include <string>

#include "platform/SystemApi.h"

class CMemorySystem final : public CSystemApi {
public:
    void SetLoginName(std::optional<std::string> name) { m_loginName = std::move(name); }
    void SetWindowsDirectory(std::optional<std::string> folder) { m_windowsDirectory = std::move(folder); }
    void SetLocalAppDataFolder(std::optional<std::string> folder) { m_localAppData = std::move(folder); }
    void SetSystemColor(ESystemColor which, ColorRef color) {
        (which == ESystemColor::Window ? m_window : m_buttonFace) = color;
    }

    std::optional<std::string> QueryLoginName() override { return m_loginName; }
    std::optional<std::string> QueryWindowsDirectory() override { return m_windowsDirectory; }
    std::optional<std::string> QueryLocalAppDataFolder() override { return m_localAppData; }
    ColorRef QuerySystemColor(ESystemColor which) override {
        return which == ESystemColor::Window ? m_window : m_buttonFace;
    }

private:
    std::optional<std::string> m_loginName = std::string("User");
    std::optional<std::string> m_windowsDirectory = std::string("C:\\WINDOWS");
    std::optional<std::string> m_localAppData = std::string("C:\\Users\\User\\AppData\\Local");
    ColorRef m_window = 0x00FFFFFF;
    ColorRef m_buttonFace = 0x00C0C0C0;
};
