#include "settings/SettingsKey.h"

#include <algorithm>
#include <vector>

bool CSettingsKey::Open(CRegistryApi& registry, std::string_view subkey) {
    std::string path = kSettingsPath;
    if (!subkey.empty()) {
        path += '\\';
        path += subkey;
    }
    const RegistryKey key = registry.CreateMachineKey(path);
    if (key == kNoRegistryKey) return false;
    Close();
    m_registry = &registry;
    m_key = key;
    return true;
}

void CSettingsKey::Close() {
    if (IsOpen()) m_registry->CloseKey(m_key);
    m_key = kNoRegistryKey;
    m_registry = nullptr;
}

std::string CSettingsKey::ReadString(std::string_view name, std::string_view defaultText) const {
    if (!IsOpen()) return std::string(defaultText);
    const std::string valueName(name);
    std::uint32_t size = 0;
    if (!m_registry->QueryValue(m_key, valueName, nullptr, nullptr, &size) || size == 0)
        return std::string(defaultText);
    std::vector<char> data(size);
    if (!m_registry->QueryValue(m_key, valueName, nullptr, data.data(), &size)) return std::string(defaultText);
    // Data need not end in a zero byte (a value written as binary, or a
    // string stored without its terminator): never read past what came.
    std::string text(data.data(), size);
    text.erase(std::min(text.find('\0'), text.size()));
    return text.empty() ? std::string(defaultText) : text;
}

std::int32_t CSettingsKey::ReadDword(std::string_view name, std::int32_t defaultValue) const {
    if (!IsOpen()) return defaultValue;
    unsigned char bytes[4] = {};
    std::uint32_t size = sizeof bytes;
    if (!m_registry->QueryValue(m_key, std::string(name), nullptr, bytes, &size)) return defaultValue;
    const std::uint32_t value = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t{bytes[3]} << 24);
    return static_cast<std::int32_t>(value);
}

bool CSettingsKey::WriteString(std::string_view name, std::string_view text) {
    if (!IsOpen()) return false;
    std::string data(text);
    data += '\0';
    return m_registry->SetValue(m_key, std::string(name), kRegSz, data.data(),
                                static_cast<std::uint32_t>(data.size()));
}

bool CSettingsKey::WriteDword(std::string_view name, std::uint32_t value) {
    if (!IsOpen()) return false;
    const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    return m_registry->SetValue(m_key, std::string(name), kRegDword, bytes, sizeof bytes);
}

bool CSettingsKey::DeleteValue(std::string_view name) {
    if (!IsOpen()) return false;
    const std::string valueName(name);
    if (m_registry->RemoveValue(m_key, valueName)) return true;
    std::uint32_t size = 0;
    return !m_registry->QueryValue(m_key, valueName, nullptr, nullptr, &size);
}

bool CSettingsKey::Flush() { return IsOpen() && m_registry->FlushKey(m_key); }
