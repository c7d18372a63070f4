#pragma once
#include <optional>
#include <string>
#include <string_view>

// The longest computer name the platform reports (MAX_COMPUTERNAME_LENGTH).
inline constexpr std::size_t kMaxComputerNameLength = 15;

// Used when neither the platform nor the environment gives a usable name: the
// wire format needs a sender field of at least one byte.
inline constexpr std::string_view kFallbackComputerName = "Unnamed";

// Whether a sender field from the network can name a computer: not empty,
// and without the characters that mean "all computers" ('*') or that build
// paths ('\\', '/'), nor control characters. A name that fails is never a
// peer and never gets a reply.
bool CanBeComputerName(std::string_view name);

// Picks the local computer name from what the platform reported (nothing when
// the call failed) and, failing that, from the COMPUTERNAME environment text;
// keeps at most 15 bytes and converts the result to title case.
std::string ChooseLocalComputerName(const std::optional<std::string>& reported,
                                    const char* environmentName);
// The same with this process's COMPUTERNAME environment variable.
std::string ChooseLocalComputerName(const std::optional<std::string>& reported);
