#pragma once
// One key of the settings store, in two layers under the same path: the
// user's (HKEY_CURRENT_USER) over the computer's (HKEY_LOCAL_MACHINE). A
// value is read from the user's layer first; the computer's values, set by
// an administrator, a deployment or an earlier version, are the defaults
// under it, and the caller's default is the last. A value is written to the
// computer's layer where the account may write it there, and otherwise to the
// user's, so that a standard user keeps their settings. Every read goes to
// the registry at the moment it is made; nothing is cached.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/RegistryApi.h"
#include "settings/SettingsLayer.h"

// The main key; the other keys lie below it. The same path under both roots.
inline constexpr char kSettingsPath[] = "Software\\Pellandor\\Mivlet";

class CSettingsKey {
public:
    // No key: reads give their defaults, writes fail.
    CSettingsKey() = default;
    explicit CSettingsKey(CRegistryApi& registry, std::string_view subkey = {}) { Open(registry, subkey); }
    CSettingsKey(const CSettingsKey&) = delete;
    CSettingsKey& operator=(const CSettingsKey&) = delete;
    ~CSettingsKey() { Close(); }

    // Opens the main key or, when `subkey` is not empty, that key below it:
    // the computer's for writing (created when missing) or, where that is
    // refused, for reading; the user's for reading where it is there. The
    // user's is created only when a write needs it. Keys held before are
    // closed only once one of the new ones is open. False when no layer
    // could be opened (a write may still make the user's).
    bool Open(CRegistryApi& registry, std::string_view subkey = {});
    void Close();
    // Whether a layer is open to read from.
    bool IsOpen() const { return m_machine.IsOpen() || m_user.IsOpen(); }

    // The user's text, else the computer's, else `defaultText`; a value that
    // is missing, unreadable or empty counts as not there.
    std::string ReadString(std::string_view name, std::string_view defaultText) const;
    // The same for up to four stored bytes, little-endian and zero-extended,
    // whatever the value's type; longer data counts as not there.
    std::int32_t ReadDword(std::string_view name, std::int32_t defaultValue) const;

    bool WriteString(std::string_view name, std::string_view text);  // REG_SZ with its terminator
    bool WriteDword(std::string_view name, std::uint32_t value);     // REG_DWORD
    // True when neither layer holds the value any more.
    bool DeleteValue(std::string_view name);
    // Flushes the layers this account writes; true when one was flushed and
    // none failed.
    bool Flush();

    // Values that belong together (a font) are stored whole in one layer
    // and read whole from one, so that they are never mixed from the user's
    // and the computer's. `write` stores the group into the layer it is
    // given; `names` are all the group's values. True when a layer took it.
    using LayerWrite = std::function<bool(CSettingsLayer&)>;
    bool WriteGroup(std::initializer_list<std::string_view> names, const LayerWrite& write);
    // The layer that holds `leadName`, which every stored group has: the
    // user's where it has one, else the computer's.
    const CSettingsLayer& LayerHolding(std::string_view leadName) const;

private:
    bool OpenUserForWriting();

    CRegistryApi* m_registry = nullptr;
    std::string m_path;
    CSettingsLayer m_machine;
    CSettingsLayer m_user;
};
