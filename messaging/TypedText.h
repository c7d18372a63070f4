#pragma once
// The rules a typed text goes through before it is sent.

#include <cstddef>
#include <string>
#include <string_view>

// Messages to all users must stay under this many bytes.
inline constexpr std::size_t kMaxAllUsersTextBytes = 3000;
inline constexpr char kAllUsersTarget[] = "*";

// A run of leading empty lines shrinks to one leading line break; trailing
// carriage returns and line feeds go.
std::string CleanTypedText(std::string_view text);

// A text whose first six characters are "admin:" in any letter case, followed
// by one of the verbs that copies act on, travels as a control command.
bool IsCommandText(std::string_view text);
