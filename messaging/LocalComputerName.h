#pragma once
#include <optional>
#include <string>
#include <string_view>

// The longest computer name the platform reports (MAX_COMPUTERNAME_LENGTH).
inline constexpr std::size_t kMaxComputerNameLength = 15;

// Used when neither the platform nor the environment gives a usable name: the
// wire format needs a sender field of at least one byte.
inline constexpr std::string_view kFallbackComputerName = "Unnamed";

// Whether a name from the network can name a computer: what Windows lets a
// computer be called, 1 to 15 of the ASCII letters, the digits and
// ! @ # $ % ^ & ' ) ( . - _ { } ~. Anything else, a blank, a non-breaking
// space, a control character, a byte of another code page, "*" (all
// computers) or the path characters "\" and "/", would let a datagram make
// a peer that only looks like a colleague, or send a reply somewhere no
// computer is. A broadcast's sender field ends in the broadcast mark: the
// name is the field without it. A name that fails is never a peer, is
// never learnt as a computer's address and never gets a reply.
bool CanBeComputerName(std::string_view name);

// Picks the local computer name from what the platform reported (nothing when
// the call failed) and, failing that, from the COMPUTERNAME environment text;
// keeps at most 15 bytes, writes each character that a computer name cannot
// hold as "-" (a host name under Wine may hold any), and converts the result
// to title case. The result passes CanBeComputerName, so that other copies
// hear this one.
std::string ChooseLocalComputerName(const std::optional<std::string>& reported,
                                    const char* environmentName);
// The same with this process's COMPUTERNAME environment variable.
std::string ChooseLocalComputerName(const std::optional<std::string>& reported);
