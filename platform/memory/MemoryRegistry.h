#pragma once
// An in-memory registry standing in for advapi32 behind CRegistryApi in
// tests. Key paths and value names compare without regard to ASCII case, as
// the registry's do; values keep their type and raw bytes, so a test can
// store what no writer of the program would. Keys under HKEY_CLASSES_ROOT
// live under the path prefix kMemoryClassesRoot.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryApi.h"
#include "util/AsciiText.h"

inline constexpr char kMemoryClassesRoot[] = "HKEY_CLASSES_ROOT\\";

struct CMemoryRegistryValue {
    std::uint32_t type = kRegSz;
    std::string bytes;
};

class CMemoryRegistry final : public CRegistryApi {
public:
    // Fault injection: a key that cannot be opened or created (as for an
    // account that may not write under HKEY_LOCAL_MACHINE), and writes that
    // fail on keys that did open.
    void DenyKey(std::string_view path) { m_denied.insert(LowerAscii(path)); }
    void SetWritesFail(bool fail) { m_writesFail = fail; }

    // Inspection and set-up beside the program's own calls.
    void PutValue(std::string_view path, std::string_view name, std::uint32_t type, std::string bytes);
    void PutString(std::string_view path, std::string_view name, std::string_view text);  // REG_SZ, terminated
    void PutDword(std::string_view path, std::string_view name, std::uint32_t value);
    // A file type's key under HKEY_CLASSES_ROOT; the empty name is its default value.
    void PutClassesString(std::string_view path, std::string_view name, std::string_view text) {
        PutString(std::string(kMemoryClassesRoot).append(path), name, text);
    }
    std::optional<CMemoryRegistryValue> FindValue(std::string_view path, std::string_view name) const;
    std::vector<std::string> ValueNames(std::string_view path) const;  // as first written, sorted
    std::size_t OpenKeys() const { return m_handles.size(); }
    // Every path opened successfully, in order.
    const std::vector<std::string>& OpenedPaths() const { return m_opened; }
    int Flushes() const { return m_flushes; }

    // CRegistryApi
    RegistryKey CreateMachineKey(const std::string& path) override;
    RegistryKey OpenClassesKey(const std::string& path) override;
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

    Key* FindKey(RegistryKey key);
    const CNamedValue* Find(std::string_view path, std::string_view name) const;
    RegistryKey NewHandle(const std::string& lowerPath, const std::string& path);

    std::map<std::string, Key> m_keys;            // by lower-cased path
    std::map<RegistryKey, std::string> m_handles;  // open key -> lower-cased path
    RegistryKey m_nextHandle = 0x80;
    std::set<std::string> m_denied;
    bool m_writesFail = false;
    std::vector<std::string> m_opened;
    int m_flushes = 0;
};
