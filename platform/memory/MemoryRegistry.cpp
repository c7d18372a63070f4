#include "platform/memory/MemoryRegistry.h"

#include <algorithm>
#include <cstring>

#include "util/AsciiText.h"

void CMemoryRegistry::PutValue(ERegistryRoot root, std::string_view path, std::string_view name, std::uint32_t type,
                               std::string bytes) {
    m_keys[Id(root, path)][LowerAscii(name)] =
        CNamedValue{std::string(name), CMemoryRegistryValue{type, std::move(bytes)}};
}

void CMemoryRegistry::PutString(ERegistryRoot root, std::string_view path, std::string_view name,
                                std::string_view text) {
    std::string bytes(text);
    bytes += '\0';
    PutValue(root, path, name, kRegSz, std::move(bytes));
}

void CMemoryRegistry::PutDword(ERegistryRoot root, std::string_view path, std::string_view name,
                               std::uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    PutValue(root, path, name, kRegDword, std::move(bytes));
}

const CMemoryRegistry::CNamedValue* CMemoryRegistry::Find(ERegistryRoot root, std::string_view path,
                                                          std::string_view name) const {
    const auto key = m_keys.find(Id(root, path));
    if (key == m_keys.end()) return nullptr;
    const auto value = key->second.find(LowerAscii(name));
    return value == key->second.end() ? nullptr : &value->second;
}

std::optional<CMemoryRegistryValue> CMemoryRegistry::FindValue(ERegistryRoot root, std::string_view path,
                                                               std::string_view name) const {
    const CNamedValue* found = Find(root, path, name);
    if (!found) return std::nullopt;
    return found->value;
}

std::vector<std::string> CMemoryRegistry::ValueNames(ERegistryRoot root, std::string_view path) const {
    std::vector<std::string> names;
    const auto key = m_keys.find(Id(root, path));
    if (key == m_keys.end()) return names;
    for (const auto& entry : key->second) names.push_back(entry.second.name);
    std::sort(names.begin(), names.end());
    return names;
}

bool CMemoryRegistry::HasKey(ERegistryRoot root, std::string_view path) const {
    return m_keys.count(Id(root, path)) != 0;
}

void CMemoryRegistry::RemoveKey(ERegistryRoot root, std::string_view path) {
    const KeyId id = Id(root, path);
    m_keys.erase(id);
    for (auto& handle : m_handles)
        if (handle.second.id == id) handle.second.deleted = true;
}

CMemoryRegistry::COpenKey* CMemoryRegistry::FindOpen(RegistryKey key) {
    const auto handle = m_handles.find(key);
    return handle == m_handles.end() || handle->second.deleted ? nullptr : &handle->second;
}

CMemoryRegistry::Key* CMemoryRegistry::FindKey(RegistryKey key) {
    COpenKey* open = FindOpen(key);
    return open ? &m_keys[open->id] : nullptr;
}

RegistryKey CMemoryRegistry::Remember(ERegistryRoot root, const std::string& path, bool writable) {
    const RegistryKey handle = m_nextHandle++;
    m_handles[handle] = COpenKey{Id(root, path), writable};
    m_opened.push_back(root == ERegistryRoot::CurrentUser ? "HKCU\\" + path : root == ERegistryRoot::ClassesRoot ? "HKCR\\" + path : path);
    return handle;
}

RegistryKey CMemoryRegistry::CreateKey(ERegistryRoot root, const std::string& path) {
    if (m_denied.count(LowerAscii(path)) || m_readOnly[Index(root)]) return kNoRegistryKey;
    m_keys[Id(root, path)];
    return Remember(root, path, true);
}

RegistryKey CMemoryRegistry::OpenKeyForReading(ERegistryRoot root, const std::string& path) {
    if (m_denied.count(LowerAscii(path)) || !HasKey(root, path)) return kNoRegistryKey;
    return Remember(root, path, false);
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
    COpenKey* open = FindOpen(key);
    if (!open || !open->writable || m_writesFail[open->id.first]) return false;
    m_keys[open->id][LowerAscii(name)] =
        CNamedValue{name, CMemoryRegistryValue{type, std::string(static_cast<const char*>(data), size)}};
    return true;
}

bool CMemoryRegistry::RemoveValue(RegistryKey key, const std::string& name) {
    COpenKey* open = FindOpen(key);
    if (!open || !open->writable || m_writesFail[open->id.first]) return false;
    return m_keys[open->id].erase(LowerAscii(name)) != 0;
}

bool CMemoryRegistry::FlushKey(RegistryKey key) {
    if (!FindKey(key)) return false;
    ++m_flushes;
    return true;
}
