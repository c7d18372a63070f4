// What mivlet-peer prints of a message, whatever its fields hold. Plain
// output must never hand the terminal a control character (an escape
// sequence, a line break that forges a line of its own, or a direction
// control that turns the rest of the line around); JSON output must
// be valid JSON, in well-formed UTF-8, that gives the field back as
// well-formed UTF-8 (what was not reads as U+FFFD).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "chattext/TimeZone.h"
#include "fuzz/FuzzInput.h"
#include "tools/peer/PeerOutput.h"
#include "util/Utf8Text.h"

namespace {

// The well-formed UTF-8 sequences of two to four bytes, by their first byte
// (Unicode's table 3-7): the range of the second byte, the length.
struct CUtf8Row {
    unsigned char firstLow, firstHigh, secondLow, secondHigh;
    std::size_t length;
};
constexpr CUtf8Row kUtf8Rows[] = {
    {0xC2, 0xDF, 0x80, 0xBF, 2}, {0xE0, 0xE0, 0xA0, 0xBF, 3}, {0xE1, 0xEC, 0x80, 0xBF, 3},
    {0xED, 0xED, 0x80, 0x9F, 3}, {0xEE, 0xEF, 0x80, 0xBF, 3}, {0xF0, 0xF0, 0x90, 0xBF, 4},
    {0xF1, 0xF3, 0x80, 0xBF, 4}, {0xF4, 0xF4, 0x80, 0x8F, 4},
};

// The length of the well-formed sequence at `at`, 0 when there is none;
// `codePoint` gets what it encodes.
std::size_t WellFormedAt(std::string_view line, std::size_t at, std::uint32_t& codePoint) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(line[at + k]); };
    for (const CUtf8Row& row : kUtf8Rows) {
        if (byte(0) < row.firstLow || byte(0) > row.firstHigh) continue;
        if (at + row.length > line.size() || byte(1) < row.secondLow || byte(1) > row.secondHigh) return 0;
        codePoint = byte(0) & (0xFFu >> (row.length + 1));
        for (std::size_t k = 1; k < row.length; ++k) {
            if (k > 1 && (byte(k) & 0xC0) != 0x80) return 0;
            codePoint = codePoint << 6 | (byte(k) & 0x3Fu);
        }
        return row.length;
    }
    return 0;
}

// No C0 control or DEL; no C1 control, whether as UTF-8 encodes it or as a
// single byte; no Unicode direction control.
void CheckPlain(std::string_view line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        FUZZ_CHECK(c >= 0x20 && c != 0x7F);
        if (c < 0x80) continue;
        std::uint32_t codePoint = 0;
        const std::size_t length = WellFormedAt(line, i, codePoint);
        if (length == 0) {
            FUZZ_CHECK(c >= 0xA0);
            continue;
        }
        FUZZ_CHECK(codePoint > 0x9F);
        FUZZ_CHECK(codePoint != 0x061C && codePoint != 0x200E && codePoint != 0x200F);
        FUZZ_CHECK(codePoint < 0x202A || codePoint > 0x202E);
        FUZZ_CHECK(codePoint < 0x2066 || codePoint > 0x2069);
        i += length - 1;
    }
}

// A reader of just the JSON that FormatJsonLine may write: one object of
// strings, booleans and whole numbers. Each read returns nothing on any
// departure from JSON.
class CJsonReader {
public:
    explicit CJsonReader(std::string_view text) : m_text(text) {}

    bool AtEnd() const { return m_at == m_text.size(); }
    bool Take(char c) {
        if (m_at >= m_text.size() || m_text[m_at] != c) return false;
        ++m_at;
        return true;
    }
    // A string, in UTF-8. The writer escapes every control character and
    // writes no surrogate escape (it escapes nothing beyond U+FFFF).
    std::optional<std::string> String() {
        if (!Take('"')) return std::nullopt;
        std::string out;
        while (m_at < m_text.size()) {
            const auto c = static_cast<unsigned char>(m_text[m_at]);
            if (c >= 0x80) {
                std::uint32_t codePoint = 0;
                const std::size_t length = WellFormedAt(m_text, m_at, codePoint);
                if (length == 0) return std::nullopt;  // JSON is UTF-8
                if (codePoint <= 0x9F || codePoint == 0x061C || codePoint == 0x200E || codePoint == 0x200F ||
                    (codePoint >= 0x202A && codePoint <= 0x202E) || (codePoint >= 0x2066 && codePoint <= 0x2069))
                    return std::nullopt;  // written escaped
                out.append(m_text.substr(m_at, length));
                m_at += length;
                continue;
            }
            ++m_at;
            if (c == '"') return out;
            if (c < 0x20 || c == 0x7F) return std::nullopt;  // the writer escapes all of these
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (m_at >= m_text.size()) return std::nullopt;
            const char e = m_text[m_at++];
            switch (e) {
            case '"': case '\\': case '/': out += e; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'u': {
                if (m_at + 4 > m_text.size()) return std::nullopt;
                unsigned value = 0;
                for (int k = 0; k < 4; ++k) {
                    const char h = m_text[m_at++];
                    const int digit = (h >= '0' && h <= '9') ? h - '0'
                                    : (h >= 'a' && h <= 'f') ? h - 'a' + 10
                                    : (h >= 'A' && h <= 'F') ? h - 'A' + 10 : -1;
                    if (digit < 0) return std::nullopt;
                    value = value * 16 + static_cast<unsigned>(digit);
                }
                if (value >= 0xD800 && value <= 0xDFFF) return std::nullopt;
                AppendUtf8(out, value);
                break;
            }
            default: return std::nullopt;
            }
        }
        return std::nullopt;
    }
    bool Literal(std::string_view word) {
        if (m_text.substr(m_at, word.size()) != word) return false;
        m_at += word.size();
        return true;
    }
    std::optional<std::string> Number() {
        const std::size_t start = m_at;
        while (m_at < m_text.size() && m_text[m_at] >= '0' && m_text[m_at] <= '9') ++m_at;
        if (m_at == start || (m_text[start] == '0' && m_at - start > 1)) return std::nullopt;
        return std::string(m_text.substr(start, m_at - start));
    }

private:
    std::string_view m_text;
    std::size_t m_at = 0;
};

void CheckJson(const std::string& line, const CMessageRecord& record) {
    CJsonReader json(line);
    FUZZ_CHECK(json.Take('{'));
    for (const auto& [name, expected] : {std::pair<const char*, const std::string*>{"computer", &record.computer},
                                         {"user", &record.user}, {"text", &record.text}}) {
        FUZZ_CHECK(json.String() == std::string(name) && json.Take(':'));
        FUZZ_CHECK(json.String() == ValidUtf8(*expected));
        FUZZ_CHECK(json.Take(','));
    }
    FUZZ_CHECK(json.String() == std::string("broadcast") && json.Take(':'));
    FUZZ_CHECK(json.Literal(record.broadcast ? "true" : "false") && json.Take(','));
    FUZZ_CHECK(json.String() == std::string("time") && json.Take(':'));
    FUZZ_CHECK(json.Number() == std::to_string(record.time));
    FUZZ_CHECK(json.Take('}') && json.AtEnd());
}

}  // namespace

// Input: flags (bit 0 broadcast), the 32-bit time, a 32-bit zone offset,
// computer and user (a length byte each), then the rest as the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput input(data, size);
    CMessageRecord record;
    record.broadcast = input.Byte() & 1;
    record.time = input.Uint32();
    const CFixedTimeZone zone(input.Int32() % 86400);
    record.computer = input.ShortText();
    record.user = input.ShortText();
    record.text = input.Rest();

    CheckPlain(FormatShownLine(record, zone));
    CheckPlain(FormatVersionLine(record));
    CheckPlain(EscapeControlCharacters(record.computer + "  (" + record.user + ")"));
    CheckJson(FormatJsonLine(record), record);
    return 0;
}
