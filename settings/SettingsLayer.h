#pragma once
// One root's copy of a settings key: the computer's (HKEY_LOCAL_MACHINE) or
// the user's (HKEY_CURRENT_USER), under the same path. A layer is open for
// writing, open for reading only (a standard user under the computer's
// root), or not open at all; reads from a layer that is not open find
// nothing and writes to one that may not be written fail.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/RegistryApi.h"

class CSettingsLayer {
public:
    CSettingsLayer() = default;
    CSettingsLayer(const CSettingsLayer&) = delete;
    CSettingsLayer& operator=(const CSettingsLayer&) = delete;
    CSettingsLayer(CSettingsLayer&& other) noexcept { Swap(other); }
    CSettingsLayer& operator=(CSettingsLayer&& other) noexcept {
        CSettingsLayer moved(std::move(other));
        Swap(moved);
        return *this;
    }
    ~CSettingsLayer() { Close(); }

    // The key opened for writing, created when missing. A key held before
    // is closed only once the new one is open.
    bool OpenForWriting(CRegistryApi& registry, ERegistryRoot root, const std::string& path);
    // The key as it is, for reading only; fails when it is not there.
    bool OpenForReading(CRegistryApi& registry, ERegistryRoot root, const std::string& path);
    void Close();
    bool IsOpen() const { return m_key != kNoRegistryKey; }
    bool CanWrite() const { return IsOpen() && m_writable; }

    bool Has(std::string_view name) const;
    // The stored text up to its first zero byte, whatever the value's type;
    // nothing when it is missing, unreadable or empty.
    std::optional<std::string> FindString(std::string_view name) const;
    // A text value (REG_SZ, REG_EXPAND_SZ) as the number it spells
    // (StoredNumber.h); any other type as up to four stored bytes,
    // little-endian and zero-extended. Nothing when it is missing,
    // unreadable, longer, or text that is no number.
    std::optional<std::int32_t> FindDword(std::string_view name) const;

    bool WriteString(std::string_view name, std::string_view text);  // REG_SZ with its terminator
    bool WriteDword(std::string_view name, std::uint32_t value);     // REG_DWORD
    // True also when the value was not there.
    bool DeleteValue(std::string_view name);
    bool Flush();

private:
    bool Take(CRegistryApi& registry, RegistryKey key, bool writable);
    void Swap(CSettingsLayer& other) noexcept;

    CRegistryApi* m_registry = nullptr;
    RegistryKey m_key = kNoRegistryKey;
    bool m_writable = false;
};
