#pragma once
// An INI file of earlier versions, read from its bytes the way the system's
// profile functions read the ANSI files that those versions wrote
// (GetPrivateProfileStringA and GetPrivateProfileIntA): a file saved as
// UTF-16 ("Unicode" in Notepad, with its byte order mark) is read as its
// ANSI text; every carriage return and every line feed ends a line; "[name]"
// starts a section, with blanks around the name dropped; "key=value" is an
// entry, white space around both dropped; sections and keys compare without
// regard to ASCII case, only the first section of a name is looked in, and
// an empty key name finds the entry "=value". The file is untrusted bytes: any content
// reads as some sections, entries or nothing.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CLegacyProfile {
public:
    // Files larger than this are read only this far; the ones earlier
    // versions wrote hold a few hundred bytes.
    static constexpr std::size_t kMaxFileBytes = 1024 * 1024;

    explicit CLegacyProfile(std::string_view bytes);
    // The file's bytes, or an empty profile when it cannot be read.
    static CLegacyProfile ReadFile(const std::string& path);

    // GetPrivateProfileStringA into a buffer of `bufferSize` characters: the
    // value, or `defaultText` when there is none, cut to bufferSize - 1
    // characters; a value in matching quotes loses them.
    std::string GetString(std::string_view section, std::string_view key, std::string_view defaultText,
                          std::size_t bufferSize) const;
    // GetPrivateProfileIntA: the value's number (white space, a sign, "0x",
    // "0o" or "0b" and the digits up to the first other character, modulo
    // 2^32), or `defaultValue` when there is no value or it is empty.
    std::int32_t GetInt(std::string_view section, std::string_view key, std::int32_t defaultValue) const;

private:
    struct CEntry {
        std::string key;
        std::optional<std::string> value;  // none for a line without "="
    };
    struct CSection {
        std::string name;
        std::vector<CEntry> entries;
    };

    const CEntry* Find(std::string_view section, std::string_view key) const;

    // The first holds the entries before any section header.
    std::vector<CSection> m_sections;
};
