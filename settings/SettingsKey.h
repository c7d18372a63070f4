#pragma once
// One open key of the settings store. Every read goes to the registry at the
// moment it is made; a missing or unreadable value, and every read from a key
// that is not open, gives the caller's default, and a write to such a key
// fails. Nothing is cached.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/RegistryApi.h"

// The main key under HKEY_LOCAL_MACHINE; the other keys lie below it.
inline constexpr char kSettingsPath[] = "Software\\Pellandor\\Mivlet";

class CSettingsKey {
public:
    // No key: reads give their defaults, writes fail.
    CSettingsKey() = default;
    explicit CSettingsKey(CRegistryApi& registry, std::string_view subkey = {}) { Open(registry, subkey); }
    CSettingsKey(const CSettingsKey&) = delete;
    CSettingsKey& operator=(const CSettingsKey&) = delete;
    ~CSettingsKey() { Close(); }

    // Opens, creating it when missing, the main key or, when `subkey` is not
    // empty, that key below it. A key held before is closed only once the new
    // one is open.
    bool Open(CRegistryApi& registry, std::string_view subkey = {});
    void Close();
    bool IsOpen() const { return m_key != kNoRegistryKey; }

    // The stored text up to its first zero byte, whatever the value's type;
    // `defaultText` when it is missing, unreadable or empty.
    std::string ReadString(std::string_view name, std::string_view defaultText) const;
    // Up to four stored bytes, little-endian and zero-extended, whatever the
    // value's type; `defaultValue` when it is missing, unreadable or longer.
    std::int32_t ReadDword(std::string_view name, std::int32_t defaultValue) const;

    bool WriteString(std::string_view name, std::string_view text);  // REG_SZ with its terminator
    bool WriteDword(std::string_view name, std::uint32_t value);     // REG_DWORD
    // True also when the value was not there.
    bool DeleteValue(std::string_view name);
    bool Flush();

private:
    CRegistryApi* m_registry = nullptr;
    RegistryKey m_key = kNoRegistryKey;
};
