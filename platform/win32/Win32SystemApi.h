#pragma once
#include "platform/SystemApi.h"

// The system seam on advapi32, kernel32, shell32 and user32.
class CWin32SystemApi final : public CSystemApi {
public:
    std::optional<std::string> QueryLoginName() override;
    std::optional<std::string> QueryWindowsDirectory() override;
    std::optional<std::string> QueryLocalAppDataFolder() override;
    ColorRef QuerySystemColor(ESystemColor which) override;
};
