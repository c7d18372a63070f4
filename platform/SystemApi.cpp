#include "platform/SystemApi.h"

#include "util/Paths.h"

std::string GetWindowsDir(CSystemApi& system) {
    const auto folder = system.QueryWindowsDirectory();
    return folder ? NormalizePath(*folder) : std::string();
}
