#pragma once
#include "platform/RegistryApi.h"

// The registry seam on advapi32.
class CWin32RegistryApi final : public CRegistryApi {
public:
    RegistryKey CreateMachineKey(const std::string& path) override;
    RegistryKey OpenClassesKey(const std::string& path) override;
    bool CloseKey(RegistryKey key) override;
    bool QueryValue(RegistryKey key, const std::string& name, std::uint32_t* type, void* data,
                    std::uint32_t* size) override;
    bool SetValue(RegistryKey key, const std::string& name, std::uint32_t type, const void* data,
                  std::uint32_t size) override;
    bool RemoveValue(RegistryKey key, const std::string& name) override;
    bool FlushKey(RegistryKey key) override;
};
