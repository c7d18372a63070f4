#include "platform/memory/MemoryRegistry.h"

#include <algorithm>
#include <cstring>

#include "util/AsciiText.h"

void CMemoryRegistry::PutValue(std::string_view path, std::string_view name, std::uint32_t type, std::string bytes) {
    m_keys[LowerAscii(path)][LowerAscii(name)] = CNamedValue{std::string(name), CMemoryRegistryValue{type, std::move(bytes)}};
}

void CMemoryRegistry::PutString(std::string_view path, std::string_view name, std::string_view text) {
    std::string bytes(text);
    bytes += '\0';
    PutValue(path, name, kRegSz, std::move(bytes));
}

void CMemoryRegistry::PutDword(std::string_view path, std::string_view name, std::uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    PutValue(path, name, kRegDword, std::move(bytes));
}

const CMemoryRegistry::CNamedValue* CMemoryRegistry::Find(std::string_view path, std::string_view name) const {
    const auto key = m_keys.find(LowerAscii(path));
    if (key == m_keys.end()) return nullptr;
    const auto value = key->second.find(LowerAscii(name));
    return value == key->second.end() ? nullptr : &value->second;
}

std::optional<CMemoryRegistryValue> CMemoryRegistry::FindValue(std::string_view path, std::string_view name) const {
    const CNamedValue* found = Find(path, name);
    if (!found) return std::nullopt;
    return found->value;
}

std::vector<std::string> CMemoryRegistry::ValueNames(std::string_view path) const {
    std::vector<std::string> names;
    const auto key = m_keys.find(LowerAscii(path));
    if (key == m_keys.end()) return names;
    for (const auto& entry : key->second) names.push_back(entry.second.name);
    std::sort(names.begin(), names.end());
    return names;
}

CMemoryRegistry::Key* CMemoryRegistry::FindKey(RegistryKey key) {
    const auto handle = m_handles.find(key);
    if (handle == m_handles.end()) return nullptr;
    return &m_keys[handle->second];
}

RegistryKey CMemoryRegistry::NewHandle(const std::string& lowerPath, const std::string& path) {
    const RegistryKey handle = m_nextHandle++;
    m_handles[handle] = lowerPath;
    m_opened.push_back(path);
    return handle;
}

RegistryKey CMemoryRegistry::CreateMachineKey(const std::string& path) {
    const std::string lower = LowerAscii(path);
    if (m_denied.count(lower)) return kNoRegistryKey;
    m_keys[lower];
    return NewHandle(lower, path);
}

RegistryKey CMemoryRegistry::OpenClassesKey(const std::string& path) {
    const std::string full = std::string(kMemoryClassesRoot) + path;
    const std::string lower = LowerAscii(full);
    if (m_denied.count(lower) || !m_keys.count(lower)) return kNoRegistryKey;
    return NewHandle(lower, full);
}

bool CMemoryRegistry::CloseKey(RegistryKey key) { return m_handles.erase(key) != 0; }

bool CMemoryRegistry::QueryValue(RegistryKey key, const std::string& name, std::uint32_t* type, void* data,
                                 std::uint32_t* size) {
    Key* open = FindKey(key);
    if (!open) return false;
    const auto found = open->find(LowerAscii(name));
    if (found == open->end()) return false;
    const CMemoryRegistryValue& value = found->second.value;
    if (type) *type = value.type;
    if (!size) return data == nullptr;
    const auto stored = static_cast<std::uint32_t>(value.bytes.size());
    if (data) {
        if (*size < stored) {
            *size = stored;
            return false;
        }
        std::memcpy(data, value.bytes.data(), stored);
    }
    *size = stored;
    return true;
}

bool CMemoryRegistry::SetValue(RegistryKey key, const std::string& name, std::uint32_t type, const void* data,
                               std::uint32_t size) {
    Key* open = FindKey(key);
    if (!open || m_writesFail) return false;
    (*open)[LowerAscii(name)] = CNamedValue{name, CMemoryRegistryValue{type, std::string(static_cast<const char*>(data), size)}};
    return true;
}

bool CMemoryRegistry::RemoveValue(RegistryKey key, const std::string& name) {
    Key* open = FindKey(key);
    if (!open || m_writesFail) return false;
    return open->erase(LowerAscii(name)) != 0;
}

bool CMemoryRegistry::FlushKey(RegistryKey key) {
    if (!FindKey(key)) return false;
    ++m_flushes;
    return true;
}
