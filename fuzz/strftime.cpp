// The time formatter against the C library's strftime, in the "C" locale
// that both are defined by, for the directives that the two define the same
// way, over every second from 1970 to the end of 2037. Any difference is a
// fault in ours.

#include <clocale>
#include <cstdint>
#include <ctime>
#include <string>

#include "chattext/TimeFormat.h"
#include "chattext/TimeZone.h"
#include "fuzz/FuzzInput.h"

namespace {

// Left out: "#" (ours removes leading zeros, glibc's changes letter case),
// %c %x %X (ours are the pictures of the Windows C runtime) and %z %Z.
constexpr char kShared[] = "aAbBdHIjmMpSUwWyY%";
constexpr std::uint32_t kLastSecond = 2145916799;  // 2037-12-31 23:59:59 UTC

}  // namespace

// Input: a 32-bit moment (taken modulo the span), then the format: each byte
// with its top bit set is a directive from the list, chosen by the other
// bits; the other bytes are copied, a "%" among them made a space.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool cLocale = std::setlocale(LC_ALL, "C") != nullptr;
    FUZZ_CHECK(cLocale);

    CFuzzInput input(data, size);
    const std::uint32_t moment = input.Uint32() % (kLastSecond + 1);
    std::string format;
    while (!input.Empty()) {
        const std::uint8_t byte = input.Byte();
        if (byte & 0x80) {
            format += '%';
            format += kShared[(byte & 0x7F) % (sizeof kShared - 1)];
        } else {
            // A zero byte would end strftime's format early.
            format += (byte == '%' || byte == 0) ? ' ' : static_cast<char>(byte);
        }
    }

    const std::optional<std::tm> time = CFixedTimeZone().ToLocalTime(moment);
    FUZZ_CHECK(time.has_value());
    const std::time_t asTimeT = moment;
    std::tm reference{};
    FUZZ_CHECK(gmtime_r(&asTimeT, &reference) != nullptr);
    // Our own civil calendar must agree with the C library's first.
    FUZZ_CHECK(time->tm_year == reference.tm_year && time->tm_mon == reference.tm_mon &&
               time->tm_mday == reference.tm_mday && time->tm_hour == reference.tm_hour &&
               time->tm_min == reference.tm_min && time->tm_sec == reference.tm_sec &&
               time->tm_wday == reference.tm_wday && time->tm_yday == reference.tm_yday);

    std::string expected(format.size() * 16 + 1, '\0');
    const std::size_t length = std::strftime(expected.data(), expected.size(), format.c_str(), &reference);
    FUZZ_CHECK(length != 0 || format.empty());
    expected.resize(length);
    const std::string ours = FormatTime(format, reference);
    if (ours != expected)
        std::fprintf(stderr, "format \"%s\" at %u: ours \"%s\", strftime \"%s\"\n", format.c_str(),
                     static_cast<unsigned>(moment), ours.c_str(), expected.c_str());
    FUZZ_CHECK(ours == expected);
    return 0;
}
