#pragma once
// One key of the settings store, in four layers under two paths. Read first:
// the policies, which only an administrator or Group Policy may write, the
// computer's (HKEY_LOCAL_MACHINE\Software\Policies\...) over the user's
// (HKEY_CURRENT_USER\Software\Policies\...). Beneath them the preferences:
// the user's (HKEY_CURRENT_USER\Software\...) over the computer's
// (HKEY_LOCAL_MACHINE\Software\...), which an administrator, a deployment or
// an earlier version set as defaults; the caller's default is the last. A
// value is written to the computer's preferences where the account may write
// there, and otherwise to the user's, so that a standard user keeps their
// settings; the program never writes a policy, and a value that a policy
// sets reads as the policy says whatever was written beneath it.
//
// Every layer is opened at the moment of each read or write and closed
// after it, so that a key made after the program started, or deleted and
// made again (as Group Policy's "Replace" does), is seen by the next read.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/RegistryApi.h"
#include "settings/SettingsLayer.h"

// The main key; the other keys lie below it. The same path under both roots.
inline constexpr char kSettingsPath[] = "Software\\Pellandor\\Mivlet";
// The policies' main key, under both roots.
inline constexpr char kPolicyPath[] = "Software\\Policies\\Pellandor\\Mivlet";

// Where a value that was read came from.
enum class ESettingSource { Default, MachinePreference, UserPreference, UserPolicy, MachinePolicy };
inline bool IsPolicy(ESettingSource source) {
    return source == ESettingSource::MachinePolicy || source == ESettingSource::UserPolicy;
}

class CSettingsKey {
public:
    // No key: reads give their defaults, writes fail.
    CSettingsKey() = default;
    explicit CSettingsKey(CRegistryApi& registry, std::string_view subkey = {}) { Open(registry, subkey); }
    CSettingsKey(const CSettingsKey&) = delete;
    CSettingsKey& operator=(const CSettingsKey&) = delete;
    ~CSettingsKey() { Close(); }

    // Takes the main key or, when `subkey` is not empty, that key below it,
    // and makes the computer's preferences key where the account may (the
    // user's is made only when a write needs it). No key stays open. False
    // when no layer is there to read from.
    bool Open(CRegistryApi& registry, std::string_view subkey = {});
    void Close();
    // Whether a layer is there to read from now.
    bool IsOpen() const;

    // The first layer's text, else `defaultText`; a value that is missing,
    // unreadable or empty counts as not there.
    std::string ReadString(std::string_view name, std::string_view defaultText,
                           ESettingSource* source = nullptr) const;
    // The same for a number (SettingsLayer.h: four bytes of any type, or
    // text that spells a number).
    std::int32_t ReadDword(std::string_view name, std::int32_t defaultValue,
                           ESettingSource* source = nullptr) const;

    // Whether a policy sets the value, read as text or as a number: the
    // Options sheet shows it and does not let it be changed.
    bool TextSetByPolicy(std::string_view name) const;
    bool NumberSetByPolicy(std::string_view name) const;

    bool WriteString(std::string_view name, std::string_view text);  // REG_SZ with its terminator
    bool WriteDword(std::string_view name, std::uint32_t value);     // REG_DWORD
    // True when neither preferences layer holds the value any more.
    bool DeleteValue(std::string_view name);
    // Flushes the preferences layers this account writes; true when one was
    // flushed and none failed.
    bool Flush();

    // Values that belong together (a font) are stored whole in one layer
    // and read whole from one, so that they are never mixed from two.
    // `write` stores the group into the layer it is given; `names` are all
    // the group's values. True when a layer took it.
    using LayerWrite = std::function<bool(CSettingsLayer&)>;
    bool WriteGroup(std::initializer_list<std::string_view> names, const LayerWrite& write);
    // The first layer, in the order above, that holds `leadName`, which
    // every stored group has, opened for reading; a layer that is not open
    // when none does.
    CSettingsLayer LayerHolding(std::string_view leadName, ESettingSource* source = nullptr) const;

private:
    struct CLayerPlace {
        ESettingSource source;
        ERegistryRoot root;
        const std::string* path;
    };
    // The four layers in the order they are read.
    CLayerPlace Place(int index) const;
    static constexpr int kLayers = 4;
    template <typename Find, typename Value>
    Value ReadFirst(const Find& find, Value defaultValue, ESettingSource* source) const;
    bool OpenUserForWriting(CSettingsLayer& user) const;

    CRegistryApi* m_registry = nullptr;
    std::string m_path;
    std::string m_policyPath;
};
