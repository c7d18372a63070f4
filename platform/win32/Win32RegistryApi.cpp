#include "platform/win32/Win32RegistryApi.h"

#include <windows.h>

namespace {

static_assert(sizeof(RegistryKey) == sizeof(HKEY));
static_assert(kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ && kRegBinary == REG_BINARY && kRegDword == REG_DWORD && kRegQword == REG_QWORD);

HKEY ToKey(RegistryKey key) { return reinterpret_cast<HKEY>(key); }

HKEY ToRoot(ERegistryRoot root) {
    switch (root) {
    case ERegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
    case ERegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case ERegistryRoot::LocalMachine: break;
    }
    return HKEY_LOCAL_MACHINE;
}

}  // namespace

RegistryKey CWin32RegistryApi::CreateKey(ERegistryRoot root, const std::string& path) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(ToRoot(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        return kNoRegistryKey;
    return reinterpret_cast<RegistryKey>(key);
}

RegistryKey CWin32RegistryApi::OpenKeyForReading(ERegistryRoot root, const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(ToRoot(root), path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return kNoRegistryKey;
    return reinterpret_cast<RegistryKey>(key);
}

bool CWin32RegistryApi::CloseKey(RegistryKey key) { return ::RegCloseKey(ToKey(key)) == ERROR_SUCCESS; }

bool CWin32RegistryApi::QueryValue(RegistryKey key, const std::string& name, std::uint32_t* type, void* data,
                                   std::uint32_t* size) {
    DWORD storedType = 0;
    DWORD room = size ? *size : 0;
    const LONG result = ::RegQueryValueExA(ToKey(key), name.c_str(), nullptr, &storedType,
                                           static_cast<BYTE*>(data), size ? &room : nullptr);
    if (type) *type = storedType;
    if (size) *size = room;
    return result == ERROR_SUCCESS;
}

bool CWin32RegistryApi::SetValue(RegistryKey key, const std::string& name, std::uint32_t type, const void* data,
                                 std::uint32_t size) {
    return ::RegSetValueExA(ToKey(key), name.c_str(), 0, type, static_cast<const BYTE*>(data), size) ==
           ERROR_SUCCESS;
}

bool CWin32RegistryApi::RemoveValue(RegistryKey key, const std::string& name) {
    return ::RegDeleteValueA(ToKey(key), name.c_str()) == ERROR_SUCCESS;
}

bool CWin32RegistryApi::FlushKey(RegistryKey key) { return ::RegFlushKey(ToKey(key)) == ERROR_SUCCESS; }
