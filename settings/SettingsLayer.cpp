#include "settings/SettingsLayer.h"

#include "settings/StoredNumber.h"

#include <algorithm>
#include <utility>
#include <vector>

bool CSettingsLayer::Take(CRegistryApi& registry, RegistryKey key, bool writable) {
    if (key == kNoRegistryKey) return false;
    Close();
    m_registry = &registry;
    m_key = key;
    m_writable = writable;
    return true;
}

bool CSettingsLayer::OpenForWriting(CRegistryApi& registry, ERegistryRoot root, const std::string& path) {
    return Take(registry, registry.CreateKey(root, path), true);
}

bool CSettingsLayer::OpenForReading(CRegistryApi& registry, ERegistryRoot root, const std::string& path) {
    return Take(registry, registry.OpenKeyForReading(root, path), false);
}

void CSettingsLayer::Close() {
    if (IsOpen()) m_registry->CloseKey(m_key);
    m_key = kNoRegistryKey;
    m_registry = nullptr;
    m_writable = false;
}

void CSettingsLayer::Swap(CSettingsLayer& other) noexcept {
    std::swap(m_registry, other.m_registry);
    std::swap(m_key, other.m_key);
    std::swap(m_writable, other.m_writable);
}

bool CSettingsLayer::Has(std::string_view name) const {
    std::uint32_t size = 0;
    return IsOpen() && m_registry->QueryValue(m_key, std::string(name), nullptr, nullptr, &size);
}

std::optional<std::string> CSettingsLayer::FindString(std::string_view name) const {
    if (!IsOpen()) return std::nullopt;
    const std::string valueName(name);
    std::uint32_t size = 0;
    if (!m_registry->QueryValue(m_key, valueName, nullptr, nullptr, &size) || size == 0) return std::nullopt;
    std::vector<char> data(size);
    if (!m_registry->QueryValue(m_key, valueName, nullptr, data.data(), &size)) return std::nullopt;
    // Data need not end in a zero byte (a value written as binary, or a
    // string stored without its terminator): never read past what came.
    std::string text(data.data(), std::min<std::size_t>(size, data.size()));
    text.erase(std::min(text.find('\0'), text.size()));
    if (text.empty()) return std::nullopt;
    return text;
}

std::optional<std::int32_t> CSettingsLayer::FindDword(std::string_view name) const {
    if (!IsOpen()) return std::nullopt;
    const std::string valueName(name);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (!m_registry->QueryValue(m_key, valueName, &type, nullptr, &size)) return std::nullopt;
    // "reg add ... /d 0" without /t stores the text "0"; its bytes would read
    // as 48.
    if (type == kRegSz || type == kRegExpandSz) {
        const auto text = FindString(name);
        return text ? ParseStoredNumber(*text) : std::nullopt;
    }
    unsigned char bytes[4] = {};
    size = sizeof bytes;
    if (!m_registry->QueryValue(m_key, valueName, nullptr, bytes, &size)) return std::nullopt;
    const std::uint32_t value = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t{bytes[3]} << 24);
    return static_cast<std::int32_t>(value);
}

bool CSettingsLayer::WriteString(std::string_view name, std::string_view text) {
    if (!CanWrite()) return false;
    std::string data(text);
    data += '\0';
    return m_registry->SetValue(m_key, std::string(name), kRegSz, data.data(),
                                static_cast<std::uint32_t>(data.size()));
}

bool CSettingsLayer::WriteDword(std::string_view name, std::uint32_t value) {
    if (!CanWrite()) return false;
    const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    return m_registry->SetValue(m_key, std::string(name), kRegDword, bytes, sizeof bytes);
}

bool CSettingsLayer::DeleteValue(std::string_view name) {
    if (!CanWrite()) return IsOpen() && !Has(name);
    if (m_registry->RemoveValue(m_key, std::string(name))) return true;
    return !Has(name);
}

bool CSettingsLayer::Flush() { return CanWrite() && m_registry->FlushKey(m_key); }
