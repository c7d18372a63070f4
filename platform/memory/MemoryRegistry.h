#pragma once
// An in-memory registry standing in for advapi32 behind CRegistryApi in
// tests, with both roots. Key paths and value names compare without regard
// to ASCII case, as the registry's do; values keep their type and raw bytes,
// so a test can store what no writer of the program would. The set-up and
// inspection calls without a root mean HKEY_LOCAL_MACHINE.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryApi.h"
#include "util/AsciiText.h"

struct CMemoryRegistryValue {
    std::uint32_t type = kRegSz;
    std::string bytes;
};

class CMemoryRegistry final : public CRegistryApi {
public:
    // Fault injection: a key that cannot be opened at all under either root;
    // a root whose keys may be read but neither created nor opened for
    // writing (HKEY_LOCAL_MACHINE for a standard user); and writes that fail
    // on keys that did open for writing, under both roots or one.
    void DenyKey(std::string_view path) { m_denied.insert(LowerAscii(path)); }
    void SetRootReadOnly(ERegistryRoot root, bool readOnly) { m_readOnly[Index(root)] = readOnly; }
    void SetWritesFail(bool fail) { m_writesFail[0] = m_writesFail[1] = m_writesFail[2] = fail; }
    void SetWritesFail(ERegistryRoot root, bool fail) { m_writesFail[Index(root)] = fail; }

    // Inspection and set-up beside the program's own calls.
    void PutValue(ERegistryRoot root, std::string_view path, std::string_view name, std::uint32_t type,
                  std::string bytes);
    void PutString(ERegistryRoot root, std::string_view path, std::string_view name, std::string_view text);
    void PutDword(ERegistryRoot root, std::string_view path, std::string_view name, std::uint32_t value);
    std::optional<CMemoryRegistryValue> FindValue(ERegistryRoot root, std::string_view path,
                                                  std::string_view name) const;
    std::vector<std::string> ValueNames(ERegistryRoot root, std::string_view path) const;  // as first written, sorted
    bool HasKey(ERegistryRoot root, std::string_view path) const;
    // Deletes a key with its values, as Group Policy's "Replace" does before
    // it makes the key again: handles opened before keep failing, as the
    // registry's do (ERROR_KEY_DELETED), even once the key is back.
    void RemoveKey(ERegistryRoot root, std::string_view path);
    // A file type's key under HKEY_CLASSES_ROOT; the empty name is its default value.
    void PutClassesString(std::string_view path, std::string_view name, std::string_view text) {
        PutString(ERegistryRoot::ClassesRoot, path, name, text);
    }

    void PutValue(std::string_view path, std::string_view name, std::uint32_t type, std::string bytes) {
        PutValue(ERegistryRoot::LocalMachine, path, name, type, std::move(bytes));
    }
    void PutString(std::string_view path, std::string_view name, std::string_view text) {  // REG_SZ, terminated
        PutString(ERegistryRoot::LocalMachine, path, name, text);
    }
    void PutDword(std::string_view path, std::string_view name, std::uint32_t value) {
        PutDword(ERegistryRoot::LocalMachine, path, name, value);
    }
    std::optional<CMemoryRegistryValue> FindValue(std::string_view path, std::string_view name) const {
        return FindValue(ERegistryRoot::LocalMachine, path, name);
    }
    std::vector<std::string> ValueNames(std::string_view path) const {
        return ValueNames(ERegistryRoot::LocalMachine, path);
    }

    std::size_t OpenKeys() const { return m_handles.size(); }
    // Every key opened successfully, in order: the path, with "HKCU\" in
    // front under HKEY_CURRENT_USER.
    const std::vector<std::string>& OpenedPaths() const { return m_opened; }
    int Flushes() const { return m_flushes; }

    // CRegistryApi
    RegistryKey CreateKey(ERegistryRoot root, const std::string& path) override;
    RegistryKey OpenKeyForReading(ERegistryRoot root, const std::string& path) override;
    bool CloseKey(RegistryKey key) override;
    bool QueryValue(RegistryKey key, const std::string& name, std::uint32_t* type, void* data,
                    std::uint32_t* size) override;
    bool SetValue(RegistryKey key, const std::string& name, std::uint32_t type, const void* data,
                  std::uint32_t size) override;
    bool RemoveValue(RegistryKey key, const std::string& name) override;
    bool FlushKey(RegistryKey key) override;

private:
    struct CNamedValue {
        std::string name;
        CMemoryRegistryValue value;
    };
    using Key = std::map<std::string, CNamedValue>;  // by lower-cased name
    using KeyId = std::pair<int, std::string>;        // root, lower-cased path
    struct COpenKey {
        KeyId id;
        bool writable = false;
        bool deleted = false;
    };

    static int Index(ERegistryRoot root) { return static_cast<int>(root); }
    static KeyId Id(ERegistryRoot root, std::string_view path) { return {Index(root), LowerAscii(path)}; }
    RegistryKey Remember(ERegistryRoot root, const std::string& path, bool writable);
    COpenKey* FindOpen(RegistryKey key);
    Key* FindKey(RegistryKey key);
    const CNamedValue* Find(ERegistryRoot root, std::string_view path, std::string_view name) const;

    std::map<KeyId, Key> m_keys;
    std::map<RegistryKey, COpenKey> m_handles;
    RegistryKey m_nextHandle = 0x80;
    std::set<std::string> m_denied;
    bool m_readOnly[3] = {false, false, false};
    bool m_writesFail[3] = {false, false, false};
    std::vector<std::string> m_opened;
    int m_flushes = 0;
};
