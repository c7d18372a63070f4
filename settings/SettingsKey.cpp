#include "settings/SettingsKey.h"

namespace {

std::string Below(std::string_view path, std::string_view subkey) {
    std::string full(path);
    if (!subkey.empty()) {
        full += '\\';
        full += subkey;
    }
    return full;
}

}  // namespace

bool CSettingsKey::Open(CRegistryApi& registry, std::string_view subkey) {
    Close();
    m_registry = &registry;
    m_path = Below(kSettingsPath, subkey);
    m_policyPath = Below(kPolicyPath, subkey);
    // Made once at start, as an installation would; a standard user may not.
    CSettingsLayer machine;
    machine.OpenForWriting(registry, ERegistryRoot::LocalMachine, m_path);
    return machine.IsOpen() || IsOpen();
}

void CSettingsKey::Close() {
    m_registry = nullptr;
    m_path.clear();
    m_policyPath.clear();
}

CSettingsKey::CLayerPlace CSettingsKey::Place(int index) const {
    switch (index) {
    case 0: return {ESettingSource::MachinePolicy, ERegistryRoot::LocalMachine, &m_policyPath};
    case 1: return {ESettingSource::UserPolicy, ERegistryRoot::CurrentUser, &m_policyPath};
    case 2: return {ESettingSource::UserPreference, ERegistryRoot::CurrentUser, &m_path};
    default: return {ESettingSource::MachinePreference, ERegistryRoot::LocalMachine, &m_path};
    }
}

bool CSettingsKey::IsOpen() const {
    for (int i = 0; m_registry && i < kLayers; ++i) {
        const CLayerPlace place = Place(i);
        CSettingsLayer layer;
        if (layer.OpenForReading(*m_registry, place.root, *place.path)) return true;
    }
    return false;
}

template <typename Find, typename Value>
Value CSettingsKey::ReadFirst(const Find& find, Value defaultValue, ESettingSource* source) const {
    for (int i = 0; m_registry && i < kLayers; ++i) {
        const CLayerPlace place = Place(i);
        CSettingsLayer layer;
        if (!layer.OpenForReading(*m_registry, place.root, *place.path)) continue;
        if (auto value = find(layer)) {
            if (source) *source = place.source;
            return *value;
        }
    }
    if (source) *source = ESettingSource::Default;
    return defaultValue;
}

std::string CSettingsKey::ReadString(std::string_view name, std::string_view defaultText,
                                     ESettingSource* source) const {
    return ReadFirst([name](const CSettingsLayer& layer) { return layer.FindString(name); },
                     std::string(defaultText), source);
}

std::int32_t CSettingsKey::ReadDword(std::string_view name, std::int32_t defaultValue, ESettingSource* source) const {
    return ReadFirst([name](const CSettingsLayer& layer) { return layer.FindDword(name); }, defaultValue, source);
}

bool CSettingsKey::TextSetByPolicy(std::string_view name) const {
    ESettingSource source{};
    ReadString(name, {}, &source);
    return IsPolicy(source);
}

bool CSettingsKey::NumberSetByPolicy(std::string_view name) const {
    ESettingSource source{};
    ReadDword(name, 0, &source);
    return IsPolicy(source);
}

CSettingsLayer CSettingsKey::LayerHolding(std::string_view leadName, ESettingSource* source) const {
    for (int i = 0; m_registry && i < kLayers; ++i) {
        const CLayerPlace place = Place(i);
        CSettingsLayer layer;
        if (layer.OpenForReading(*m_registry, place.root, *place.path) && layer.Has(leadName)) {
            if (source) *source = place.source;
            return layer;
        }
    }
    if (source) *source = ESettingSource::Default;
    return CSettingsLayer();
}

bool CSettingsKey::OpenUserForWriting(CSettingsLayer& user) const {
    if (user.CanWrite()) return true;
    return m_registry && user.OpenForWriting(*m_registry, ERegistryRoot::CurrentUser, m_path);
}

bool CSettingsKey::WriteGroup(std::initializer_list<std::string_view> names, const LayerWrite& write) {
    if (!m_registry) return false;
    // A standard user may read the computer's key but not open it for
    // writing, even where it is there.
    CSettingsLayer machine, user;
    machine.OpenForWriting(*m_registry, ERegistryRoot::LocalMachine, m_path);
    user.OpenForReading(*m_registry, ERegistryRoot::CurrentUser, m_path);
    if (machine.CanWrite() && write(machine)) {
        // What the user's layer holds would hide what was just stored.
        bool shadowed = false;
        for (std::string_view name : names) shadowed = shadowed || user.Has(name);
        if (!shadowed) return true;
        bool removed = OpenUserForWriting(user);
        for (std::string_view name : names) removed = removed && user.DeleteValue(name);
        if (removed) return true;
        // Then the user's layer gets it too, so that reads give what was
        // written.
    }
    if (!OpenUserForWriting(user)) return false;
    if (write(user)) return true;
    // A group is read from the user's layer whenever that holds its lead
    // value: what a failed write left there goes, so that the computer's
    // whole group shows rather than half of a new one. A single value that
    // failed to be written is still the one stored before, and stays.
    if (names.size() > 1)
        for (std::string_view name : names) user.DeleteValue(name);
    return false;
}

bool CSettingsKey::WriteString(std::string_view name, std::string_view text) {
    return WriteGroup({name}, [&](CSettingsLayer& layer) { return layer.WriteString(name, text); });
}

bool CSettingsKey::WriteDword(std::string_view name, std::uint32_t value) {
    return WriteGroup({name}, [&](CSettingsLayer& layer) { return layer.WriteDword(name, value); });
}

bool CSettingsKey::DeleteValue(std::string_view name) {
    if (!m_registry) return false;
    CSettingsLayer machine, user;
    if (!machine.OpenForWriting(*m_registry, ERegistryRoot::LocalMachine, m_path))
        machine.OpenForReading(*m_registry, ERegistryRoot::LocalMachine, m_path);
    user.OpenForReading(*m_registry, ERegistryRoot::CurrentUser, m_path);
    if (!machine.IsOpen() && !user.IsOpen()) return false;
    bool gone = true;
    if (machine.Has(name)) gone = machine.DeleteValue(name);
    if (user.Has(name)) gone = OpenUserForWriting(user) && user.DeleteValue(name) && gone;
    return gone;
}

bool CSettingsKey::Flush() {
    if (!m_registry) return false;
    CSettingsLayer machine, user;
    machine.OpenForWriting(*m_registry, ERegistryRoot::LocalMachine, m_path);
    // The user's key is flushed where it is there: that is where a
    // standard user's writes went.
    if (user.OpenForReading(*m_registry, ERegistryRoot::CurrentUser, m_path)) OpenUserForWriting(user);
    bool flushed = false, failed = false;
    for (CSettingsLayer* layer : {&machine, &user}) {
        if (!layer->CanWrite()) continue;
        (layer->Flush() ? flushed : failed) = true;
    }
    return flushed && !failed;
}
