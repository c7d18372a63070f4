#pragma once
// Cuts a fuzzer's input into the values a target needs. Every read works on
// an exhausted input too (it gives zeros and empty texts), so any byte string
// is a valid input and the fuzzer never wastes runs on rejected ones.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

class CFuzzInput {
public:
    CFuzzInput(const std::uint8_t* data, std::size_t size) : m_rest(reinterpret_cast<const char*>(data), size) {}

    bool Empty() const { return m_rest.empty(); }
    std::size_t Remaining() const { return m_rest.size(); }

    std::uint8_t Byte() {
        if (m_rest.empty()) return 0;
        const auto value = static_cast<std::uint8_t>(m_rest.front());
        m_rest.remove_prefix(1);
        return value;
    }
    bool Flag() { return Byte() & 1; }
    std::uint16_t Uint16() { return static_cast<std::uint16_t>(Byte() | (Byte() << 8)); }
    std::uint32_t Uint32() { return Uint16() | (static_cast<std::uint32_t>(Uint16()) << 16); }
    std::int32_t Int32() { return static_cast<std::int32_t>(Uint32()); }

    // The next `count` bytes, or fewer at the end.
    std::string Bytes(std::size_t count) {
        const std::string_view taken = m_rest.substr(0, count);
        m_rest.remove_prefix(taken.size());
        return std::string(taken);
    }
    // A text of up to 255 bytes, preceded by its length.
    std::string ShortText() { return Bytes(Byte()); }
    // A text of up to 65535 bytes, preceded by its length (little-endian).
    std::string LongText() { return Bytes(Uint16()); }
    // The bytes up to the next `delimiter` (which is dropped), or all that
    // are left.
    std::string Field(char delimiter) {
        const std::size_t end = m_rest.find(delimiter);
        const std::string_view taken = m_rest.substr(0, end);
        m_rest.remove_prefix(end == std::string_view::npos ? m_rest.size() : end + 1);
        return std::string(taken);
    }
    std::string Rest() { return Bytes(m_rest.size()); }
    // A broken-down time with any values, even out of range: eight fields of
    // 32 bits, seconds first.
    std::tm Time() {
        std::tm time{};
        for (int* field : {&time.tm_sec, &time.tm_min, &time.tm_hour, &time.tm_mday, &time.tm_mon, &time.tm_year,
                           &time.tm_wday, &time.tm_yday})
            *field = Int32();
        return time;
    }

private:
    std::string_view m_rest;
};

// A broken invariant is a crash to the fuzzer: it keeps the input that
// caused it, and a replay of that input fails the same way.
#define FUZZ_CHECK(condition)                                                                         \
    do {                                                                                              \
        if (!(condition)) {                                                                           \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                             \
        }                                                                                             \
    } while (0)

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
