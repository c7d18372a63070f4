// The prefix expander with any code, any sender names and any time: the
// names come from other computers and are formatted themselves, and a time
// can be any broken-down time, even one with fields out of range. Checks the
// bound the language states: a token gives at most 127 characters, and
// every other character of the code at most one. Characters, not bytes:
// a character takes at most four bytes. A code and names in well-formed
// UTF-8 give a prefix in well-formed UTF-8: nothing cuts a character.

#include <climits>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "chattext/PrefixCode.h"
#include "chattext/TimeZone.h"
#include "fuzz/FuzzInput.h"
#include "util/Utf8Text.h"

// Input: a flags byte (bit 0 broadcast; bits 1-2: 0 a message time in a
// zone given by a 32-bit offset, 1 any broken-down time, 2 no time), the
// time's fields, then the computer and user names (a length byte each) and
// the rest as the prefix code.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput input(data, size);
    const std::uint8_t flags = input.Byte();
    std::optional<std::tm> time;
    switch ((flags >> 1) & 3) {
    case 0: {
        const std::uint32_t moment = input.Uint32();
        // Offsets of the world's zones lie within a day either way.
        time = CFixedTimeZone(input.Int32() % 86400).ToLocalTime(moment);
        break;
    }
    case 1: time = input.Time(); break;
    default: break;
    }
    const std::string computer = input.ShortText();
    const std::string user = input.ShortText();
    const std::string code = input.Rest();

    const std::string prefix = ExpandPrefix(code, time, computer, user, flags & 1);
    FUZZ_CHECK(prefix.size() <= code.size() * 4 * kMaxTokenTextLength);
    if (IsValidUtf8(code) && IsValidUtf8(computer) && IsValidUtf8(user)) FUZZ_CHECK(IsValidUtf8(prefix));
    if (!time) FUZZ_CHECK(prefix.size() <= code.size());
    // A message to one computer drops its bracketed parts; one to all keeps
    // them, so it can only be longer.
    if (!(flags & 1)) FUZZ_CHECK(prefix.size() <= ExpandPrefix(code, time, computer, user, true).size());
    return 0;
}
