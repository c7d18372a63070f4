#include "settings/SettingsKey.h"

bool CSettingsKey::Open(CRegistryApi& registry, std::string_view subkey) {
    std::string path = kSettingsPath;
    if (!subkey.empty()) {
        path += '\\';
        path += subkey;
    }
    CSettingsLayer machine, user;
    // A standard user may read the computer's key but not open it for
    // writing, even where it is there.
    if (!machine.OpenForWriting(registry, ERegistryRoot::LocalMachine, path))
        machine.OpenForReading(registry, ERegistryRoot::LocalMachine, path);
    user.OpenForReading(registry, ERegistryRoot::CurrentUser, path);
    const bool opened = machine.IsOpen() || user.IsOpen();
    if (!opened && m_registry) return false;
    Close();
    m_registry = &registry;
    m_path = std::move(path);
    m_machine = std::move(machine);
    m_user = std::move(user);
    return opened;
}

void CSettingsKey::Close() {
    m_user.Close();
    m_machine.Close();
    m_registry = nullptr;
    m_path.clear();
}

bool CSettingsKey::OpenUserForWriting() {
    if (m_user.CanWrite()) return true;
    return m_registry && m_user.OpenForWriting(*m_registry, ERegistryRoot::CurrentUser, m_path);
}

std::string CSettingsKey::ReadString(std::string_view name, std::string_view defaultText) const {
    if (auto text = m_user.FindString(name)) return *text;
    if (auto text = m_machine.FindString(name)) return *text;
    return std::string(defaultText);
}

std::int32_t CSettingsKey::ReadDword(std::string_view name, std::int32_t defaultValue) const {
    if (auto value = m_user.FindDword(name)) return *value;
    return m_machine.FindDword(name).value_or(defaultValue);
}

bool CSettingsKey::WriteGroup(std::initializer_list<std::string_view> names, const LayerWrite& write) {
    if (m_machine.CanWrite() && write(m_machine)) {
        // What the user's layer holds would hide what was just stored.
        bool shadowed = false;
        for (std::string_view name : names) shadowed = shadowed || m_user.Has(name);
        if (!shadowed) return true;
        bool removed = OpenUserForWriting();
        for (std::string_view name : names) removed = removed && m_user.DeleteValue(name);
        if (removed) return true;
        // Then the user's layer gets it too, so that reads give what was
        // written.
    }
    if (!OpenUserForWriting()) return false;
    if (write(m_user)) return true;
    // A group is read from the user's layer whenever that holds its lead
    // value: what a failed write left there goes, so that the computer's
    // whole group shows rather than half of a new one. A single value that
    // failed to be written is still the one stored before, and stays.
    if (names.size() > 1)
        for (std::string_view name : names) m_user.DeleteValue(name);
    return false;
}

bool CSettingsKey::WriteString(std::string_view name, std::string_view text) {
    return WriteGroup({name}, [&](CSettingsLayer& layer) { return layer.WriteString(name, text); });
}

bool CSettingsKey::WriteDword(std::string_view name, std::uint32_t value) {
    return WriteGroup({name}, [&](CSettingsLayer& layer) { return layer.WriteDword(name, value); });
}

bool CSettingsKey::DeleteValue(std::string_view name) {
    if (!IsOpen()) return false;
    bool gone = true;
    if (m_machine.Has(name)) gone = m_machine.DeleteValue(name);
    if (m_user.Has(name)) gone = OpenUserForWriting() && m_user.DeleteValue(name) && gone;
    return gone;
}

bool CSettingsKey::Flush() {
    bool flushed = false, failed = false;
    for (CSettingsLayer* layer : {&m_machine, &m_user}) {
        if (!layer->CanWrite()) continue;
        (layer->Flush() ? flushed : failed) = true;
    }
    return flushed && !failed;
}

const CSettingsLayer& CSettingsKey::LayerHolding(std::string_view leadName) const {
    return m_user.Has(leadName) ? m_user : m_machine;
}
