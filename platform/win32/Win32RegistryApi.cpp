#include "platform/win32/Win32RegistryApi.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "util/win32/WideText.h"

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

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// A text value as the store sees it: the stored UTF-16 units, terminators
// included, as UTF-8. An odd last byte (a value written as bytes) is
// dropped rather than read as half a unit.
std::string TextOf(const std::vector<BYTE>& stored) {
    std::wstring units(stored.size() / sizeof(wchar_t), L'\0');
    std::memcpy(units.data(), stored.data(), units.size() * sizeof(wchar_t));
    return Narrow(units);
}

}  // namespace

RegistryKey CWin32RegistryApi::CreateKey(ERegistryRoot root, const std::string& path) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(ToRoot(root), Widen(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                          nullptr, &key, nullptr) != ERROR_SUCCESS)
        return kNoRegistryKey;
    return reinterpret_cast<RegistryKey>(key);
}

RegistryKey CWin32RegistryApi::OpenKeyForReading(ERegistryRoot root, const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(ToRoot(root), Widen(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return kNoRegistryKey;
    return reinterpret_cast<RegistryKey>(key);
}

bool CWin32RegistryApi::CloseKey(RegistryKey key) { return ::RegCloseKey(ToKey(key)) == ERROR_SUCCESS; }

// The registry keeps text as UTF-16 whichever function wrote it, so a value
// that an older version stored through the ANSI functions reads the same
// here. Text is handed over as UTF-8, and its size is that of the UTF-8.
bool CWin32RegistryApi::QueryValue(RegistryKey key, const std::string& name, std::uint32_t* type, void* data,
                                   std::uint32_t* size) {
    const std::wstring wideName = Widen(name);
    DWORD storedType = 0;
    DWORD storedSize = 0;
    if (::RegQueryValueExW(ToKey(key), wideName.c_str(), nullptr, &storedType, nullptr, &storedSize) != ERROR_SUCCESS)
        return false;
    if (type) *type = storedType;
    // A value can change between the two calls; the second one says so.
    std::vector<BYTE> stored(storedSize);
    if (storedSize > 0 && ::RegQueryValueExW(ToKey(key), wideName.c_str(), nullptr, &storedType, stored.data(),
                                             &storedSize) != ERROR_SUCCESS)
        return false;
    stored.resize(storedSize);
    if (type) *type = storedType;
    const std::string text = IsText(storedType) ? TextOf(stored) : std::string();
    const void* bytes = IsText(storedType) ? static_cast<const void*>(text.data()) : stored.data();
    const auto length = static_cast<std::uint32_t>(IsText(storedType) ? text.size() : stored.size());
    if (!size) return data == nullptr;
    const std::uint32_t room = *size;
    *size = length;
    if (!data) return true;
    if (room < length) return false;
    if (length > 0) std::memcpy(data, bytes, length);
    return true;
}

bool CWin32RegistryApi::SetValue(RegistryKey key, const std::string& name, std::uint32_t type, const void* data,
                                 std::uint32_t size) {
    const std::wstring wideName = Widen(name);
    if (IsText(type)) {
        const std::wstring text = Widen(std::string_view(static_cast<const char*>(data), size));
        return ::RegSetValueExW(ToKey(key), wideName.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.data()),
                                static_cast<DWORD>(text.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    return ::RegSetValueExW(ToKey(key), wideName.c_str(), 0, type, static_cast<const BYTE*>(data), size) ==
           ERROR_SUCCESS;
}

bool CWin32RegistryApi::RemoveValue(RegistryKey key, const std::string& name) {
    return ::RegDeleteValueW(ToKey(key), Widen(name).c_str()) == ERROR_SUCCESS;
}

bool CWin32RegistryApi::FlushKey(RegistryKey key) { return ::RegFlushKey(ToKey(key)) == ERROR_SUCCESS; }
