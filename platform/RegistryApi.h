#pragma once
// The seam between the settings store and the registry. The Win32 backend
// forwards to advapi32; the in-memory backend keeps typed values as raw bytes
// and can refuse keys and writes, for the tests.
//
// Only what the store needs: keys under HKEY_LOCAL_MACHINE or
// HKEY_CURRENT_USER, opened for writing (created when missing) or, where the
// account may only read them, for reading; and values read, set and removed
// as bytes with a type.

#include <cstdint>
#include <string>

#include "util/ApiResource.h"

// An opaque key; on Win32 it is the HKEY value itself. Zero is no key.
using RegistryKey = std::uintptr_t;
inline constexpr RegistryKey kNoRegistryKey = 0;

// Value types, numbered as the registry numbers them.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegQword = 11;

// The two roots the settings live under: the computer's, which a standard
// user may read but not write, and the user's own.
// HKEY_CLASSES_ROOT holds the file types; it is only ever read.
enum class ERegistryRoot { LocalMachine, CurrentUser, ClassesRoot };

class CRegistryApi {
public:
    virtual ~CRegistryApi() = default;

    // RegCreateKeyExW(root, path, 0, no class, REG_OPTION_NON_VOLATILE,
    // KEY_ALL_ACCESS, no security): opens the key for reading and writing,
    // creating it and any missing parent. kNoRegistryKey on failure, which
    // is what a standard user gets under HKEY_LOCAL_MACHINE even for a key
    // that is there.
    virtual RegistryKey CreateKey(ERegistryRoot root, const std::string& path) = 0;
    // RegOpenKeyExW(root, path, 0, KEY_READ): a key that is there, for
    // reading only. kNoRegistryKey when it is missing or may not be read.
    virtual RegistryKey OpenKeyForReading(ERegistryRoot root, const std::string& path) = 0;
    // A key of the file types, never created.
    RegistryKey OpenClassesKey(const std::string& path) { return OpenKeyForReading(ERegistryRoot::ClassesRoot, path); }
    virtual bool CloseKey(RegistryKey key) = 0;

    // RegQueryValueExW (text as UTF-8); the empty name is the key's default value. With `data` null only the size is asked for. Otherwise
    // `*size` is the room in `data` on the way in and the size of the stored
    // data on the way out; data that does not fit is a failure
    // (ERROR_MORE_DATA). `type` may be null.
    virtual bool QueryValue(RegistryKey key, const std::string& name, std::uint32_t* type, void* data,
                            std::uint32_t* size) = 0;
    // RegSetValueExW (text given as UTF-8).
    virtual bool SetValue(RegistryKey key, const std::string& name, std::uint32_t type, const void* data,
                          std::uint32_t size) = 0;
    // RegDeleteValueW; false also when there was no such value.
    virtual bool RemoveValue(RegistryKey key, const std::string& name) = 0;
    // RegFlushKey.
    virtual bool FlushKey(RegistryKey key) = 0;
};

// Owns one key of a CRegistryApi and closes it when it goes.
using CRegistryKeyHandle = CApiResource<CRegistryApi, RegistryKey, kNoRegistryKey, &CRegistryApi::CloseKey>;
