// The time formatter with any format text and any broken-down time. User
// and computer names from other computers reach it as format texts (the
// prefix code formats them), so every byte sequence must be safe, and the
// fields of a time are read however far out of range they are. Checks a
// bound on the output: no directive gives more than a long date with the
// time, whatever numbers the fields hold.

#include <cstdint>
#include <ctime>
#include <string>

#include "chattext/TimeFormat.h"
#include "fuzz/FuzzInput.h"

namespace {

// "%#c" with every number at its longest: the weekday and month names, or
// "?", and seven numbers of at most 20 characters each.
constexpr std::size_t kLongestDirective = 200;

}  // namespace

// Input: the eight fields of the time (32 bits each), then the format text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput input(data, size);
    const std::tm time = input.Time();
    const std::string format = input.Rest();

    const std::string text = FormatTime(format, time);
    FUZZ_CHECK(text.size() <= format.size() * kLongestDirective);
    // Text without a "%" is copied as it is.
    if (format.find('%') == std::string::npos) FUZZ_CHECK(text == format);
    return 0;
}
