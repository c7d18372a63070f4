#include "settings/LegacyProfile.h"

#include <fstream>

#include "util/AsciiText.h"

namespace {

// Ctrl+Z, the old end-of-file mark, counts as white space too.
bool IsProfileSpace(char c) { return IsAsciiSpace(c) || c == '\x1a'; }

std::string_view TrimProfileSpace(std::string_view text) {
    while (!text.empty() && IsProfileSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsProfileSpace(text.back())) text.remove_suffix(1);
    return text;
}

// Names and values are zero-terminated texts to the profile functions.
std::string UpToZero(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

// The next line of `rest`, which loses it. A file of mixed line ends
// (lines added by another editor) breaks at each one, as the system's does.
std::string_view NextLine(std::string_view& rest) {
    const std::size_t end = rest.find_first_of("\r\n");
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    return line;
}

// A value in quotes of one kind at both ends loses them; a value cut by the
// buffer loses only the opening one.
std::string CopyValue(std::string_view value, std::size_t bufferSize) {
    if (bufferSize == 0) return {};
    bool quoted = false;
    if (value.size() > 1 && (value.front() == '\'' || value.front() == '"') && value.back() == value.front()) {
        quoted = true;
        value.remove_prefix(1);
    }
    std::string out(value.substr(0, bufferSize - 1));
    if (quoted && bufferSize >= value.size() && !out.empty()) out.pop_back();
    return out;
}

// The number at the start of `text`, as the system's profile functions
// read it.
std::uint32_t ProfileNumber(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && static_cast<unsigned char>(text[at]) <= ' ') ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    std::uint32_t base = 10;
    if (at + 1 < text.size() && text[at] == '0') {
        const char prefix = text[at + 1];
        base = prefix == 'b' ? 2 : prefix == 'o' ? 8 : prefix == 'x' ? 16 : 10;
        if (base != 10) at += 2;
    }
    std::uint32_t total = 0;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        const int digit = (c >= '0' && c <= '9') ? c - '0'
                        : (c >= 'A' && c <= 'Z') ? c - 'A' + 10
                        : (c >= 'a' && c <= 'z') ? c - 'a' + 10 : -1;
        if (digit < 0 || static_cast<std::uint32_t>(digit) >= base) break;
        total = total * base + static_cast<std::uint32_t>(digit);
    }
    return negative ? 0u - total : total;
}

// A UTF-16 file (little-endian after FF FE, big-endian after FE FF) as the
// ANSI text the A functions give: characters of Latin-1 as their bytes,
// which the Western code page shares with it but for 0x80 to 0x9F, and any
// other as "?", as the conversion to the code page has it. Empty when the
// bytes are not UTF-16.
std::string Utf16AsAnsi(std::string_view bytes) {
    const bool little = bytes.substr(0, 2) == "\xFF\xFE";
    if (!little && bytes.substr(0, 2) != "\xFE\xFF") return {};
    std::string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t at = 2; at + 1 < bytes.size(); at += 2) {
        const auto low = static_cast<unsigned char>(bytes[little ? at : at + 1]);
        const auto high = static_cast<unsigned char>(bytes[little ? at + 1 : at]);
        const unsigned unit = low | (high << 8);
        // A surrogate pair is one character: one "?".
        if (unit >= 0xDC00 && unit <= 0xDFFF) continue;
        text += unit <= 0xFF ? static_cast<char>(unit) : '?';
    }
    return text;
}

}  // namespace

CLegacyProfile::CLegacyProfile(std::string_view bytes) {
    bytes = bytes.substr(0, kMaxFileBytes);
    const std::string converted = Utf16AsAnsi(bytes);
    if (!converted.empty()) bytes = converted;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    m_sections.push_back(CSection{});
    while (!bytes.empty()) {
        const std::string_view line = TrimProfileSpace(NextLine(bytes));
        if (line.empty()) continue;
        if (line.front() == '[') {
            const std::size_t close = line.rfind(']');
            if (close != std::string_view::npos && close > 0) {
                m_sections.push_back(CSection{UpToZero(TrimProfileSpace(line.substr(1, close - 1))), {}});
                continue;
            }
            // Without its "]" the line is read as an entry.
        }
        CEntry entry;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            entry.key = UpToZero(line);
        } else {
            entry.key = UpToZero(TrimProfileSpace(line.substr(0, equals)));
            entry.value = UpToZero(TrimProfileSpace(line.substr(equals + 1)));
        }
        m_sections.back().entries.push_back(std::move(entry));
    }
}

CLegacyProfile CLegacyProfile::ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string bytes(kMaxFileBytes, '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return CLegacyProfile(bytes);
}

const CLegacyProfile::CEntry* CLegacyProfile::Find(std::string_view section, std::string_view key) const {
    section = TrimProfileSpace(section);
    // An empty key name finds the entry written as "=value", as the
    // system's functions find it.
    key = TrimProfileSpace(key);
    for (const CSection& s : m_sections) {
        if (!EqualsNoCaseAscii(s.name, section)) continue;
        for (const CEntry& entry : s.entries)
            if (EqualsNoCaseAscii(entry.key, key)) return &entry;
        return nullptr;
    }
    return nullptr;
}

std::string CLegacyProfile::GetString(std::string_view section, std::string_view key, std::string_view defaultText,
                                      std::size_t bufferSize) const {
    const CEntry* entry = Find(section, key);
    if (entry && entry->value) return CopyValue(*entry->value, bufferSize);
    while (!defaultText.empty() && defaultText.back() == ' ') defaultText.remove_suffix(1);
    return CopyValue(defaultText, bufferSize);
}

std::int32_t CLegacyProfile::GetInt(std::string_view section, std::string_view key, std::int32_t defaultValue) const {
    // The system reads the value into a buffer of 30 characters.
    const std::string text = GetString(section, key, "", 30);
    if (text.empty()) return defaultValue;
    return static_cast<std::int32_t>(ProfileNumber(text));
}
