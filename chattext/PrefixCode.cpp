#include "chattext/PrefixCode.h"

#include <array>

#include "chattext/TimeFormat.h"
#include "chattext/TimeZone.h"
#include "util/AsciiText.h"
#include "util/Utf8Text.h"

namespace {

struct CPrefixToken {
    std::string_view token;
    bool exactCase;
    std::string_view format;  // empty for the rows filled in per message
};

// Tried in this order, first match wins; within each family the longer
// tokens come first so that the longest one always wins.
constexpr std::array<CPrefixToken, 29> kTokens = {{
    {"ttttt", false, "%X"},
    {"c", false, {}},  // computer name
    {"u", false, {}},  // user name
    {"TT", true, {}},  // designator
    {"T", true, {}},   // its first character
    {"tt", true, {}},  // designator in lower case
    {"t", true, {}},   // its first character
    {"HH", true, "%H"},
    {"H", true, "%#H"},
    {"hh", true, "%I"},
    {"h", true, "%#I"},
    {"dddddd", false, "%#x"},
    {"ddddd", false, "%x"},
    {"dddd", false, "%A"},
    {"ddd", false, "%a"},
    {"dd", false, "%d"},
    {"d", false, "%#d"},
    {"mmmm", false, "%B"},
    {"mmm", false, "%b"},
    {"mm", false, "%m"},
    {"m", false, "%#m"},
    {"nn", false, "%M"},
    {"n", false, "%#M"},
    {"ss", false, "%S"},
    {"s", false, "%#S"},
    {"yyyy", false, "%Y"},
    {"yyy", false, "%Y"},
    {"yy", false, "%y"},
    {"y", false, "%y"},
}};

// Every row's replacement for one message: the table's own, with the name
// and designator rows taken from this message. Refers to the names it was
// given, so it lives no longer than one expansion.
class CReplacements {
public:
    CReplacements(const std::tm& localTime, std::string_view computer, std::string_view user)
        : m_designator(FormatTime("%p", localTime)), m_lowerDesignator(LowerAscii(m_designator)) {
        for (std::size_t row = 0; row < kTokens.size(); ++row) m_rows[row] = kTokens[row].format;
        m_rows[1] = computer;
        m_rows[2] = user;
        m_rows[3] = m_designator;
        m_rows[4] = std::string_view(m_designator).substr(0, 1);
        m_rows[5] = m_lowerDesignator;
        m_rows[6] = std::string_view(m_lowerDesignator).substr(0, 1);
    }
    CReplacements(const CReplacements&) = delete;
    CReplacements& operator=(const CReplacements&) = delete;

    std::string_view operator[](std::size_t row) const { return m_rows[row]; }

private:
    std::string m_designator;
    std::string m_lowerDesignator;
    std::array<std::string_view, kTokens.size()> m_rows{};
};

// The row of the token that `rest` starts with.
std::optional<std::size_t> MatchToken(std::string_view rest) {
    for (std::size_t row = 0; row < kTokens.size(); ++row) {
        const CPrefixToken& entry = kTokens[row];
        if (rest.size() < entry.token.size()) continue;
        const std::string_view head = rest.substr(0, entry.token.size());
        if (entry.exactCase ? head == entry.token : EqualsNoCaseAscii(head, entry.token)) return row;
    }
    return std::nullopt;
}

// Copies a section opened by the quote at `at`; returns where reading goes on.
std::size_t CopyQuoted(std::string_view code, std::size_t at, std::string& out) {
    const char quote = code[at];
    std::size_t next = at + 1;
    if (next < code.size() && code[next] == quote) {
        out += quote;
        return next + 1;
    }
    while (next < code.size()) {
        if (code[next] == quote) {
            if (next + 1 < code.size() && code[next + 1] == quote) {
                out += quote;
                next += 2;
                continue;
            }
            return next + 1;
        }
        out += code[next++];
    }
    return next;
}

// Copies or drops the section opened by the "[" at `at`; returns where
// reading goes on.
std::size_t CopyBroadcastSection(std::string_view code, std::size_t at, bool broadcast, std::string& out) {
    std::size_t depth = 1;
    std::size_t next = at + 1;
    for (; next < code.size(); ++next) {
        if (code[next] == '[') {
            ++depth;
        } else if (code[next] == ']' && --depth == 0) {
            return next + 1;
        }
        if (broadcast) out += code[next];
    }
    return next;
}

}  // namespace

std::string ExpandPrefix(std::string_view prefixCode, const std::optional<std::tm>& localTime,
                         std::string_view computer, std::string_view user, bool broadcast) {
    std::optional<CReplacements> replacements;
    if (localTime) replacements.emplace(*localTime, computer, user);

    std::string out;
    std::size_t at = 0;
    while (at < prefixCode.size()) {
        const char c = prefixCode[at];
        if (c == '\'' || c == '"') {
            at = CopyQuoted(prefixCode, at, out);
            continue;
        }
        if (c == '[') {
            at = CopyBroadcastSection(prefixCode, at, broadcast, out);
            continue;
        }
        if (const std::optional<std::size_t> row = MatchToken(prefixCode.substr(at))) {
            if (replacements) {
                const std::string text = FormatTime((*replacements)[*row], *localTime);
                if (CountUtf8Characters(text) <= kMaxTokenTextLength) out += text;
            }
            at += kTokens[*row].token.size();
            continue;
        }
        out += c;
        ++at;
    }
    return out;
}

std::string ExpandPrefix(std::string_view prefixCode, const CMessageRecord& record, const CTimeZone& timeZone) {
    return ExpandPrefix(prefixCode, timeZone.ToLocalTime(record.time), record.computer, record.user,
                        record.broadcast != 0);
}
