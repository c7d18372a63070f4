#pragma once
#include <cstdint>
#include <ctime>
#include <optional>

// The seam between a message's time (seconds since 1970, UTC) and the local
// broken-down time that its prefix shows. The history uses the computer's own
// zone; tests use a fixed offset so that they give the same texts natively and
// under Wine whatever zone the machine is in.
class CTimeZone {
public:
    virtual ~CTimeZone() = default;
    // Nothing when the C runtime cannot convert the moment.
    virtual std::optional<std::tm> ToLocalTime(std::uint32_t secondsSince1970) const = 0;
};

// The zone the C runtime is set to (localtime).
class CSystemTimeZone : public CTimeZone {
public:
    std::optional<std::tm> ToLocalTime(std::uint32_t secondsSince1970) const override;
};

// A zone at a fixed distance from UTC, without daylight saving time.
class CFixedTimeZone : public CTimeZone {
public:
    explicit CFixedTimeZone(std::int32_t offsetSeconds = 0) : m_offsetSeconds(offsetSeconds) {}
    std::optional<std::tm> ToLocalTime(std::uint32_t secondsSince1970) const override;

private:
    std::int32_t m_offsetSeconds;
};
