#pragma once
#include <optional>
#include <string>

// GetComputerNameW into a buffer of MAX_COMPUTERNAME_LENGTH + 1 characters;
// nothing when the call fails.
std::optional<std::string> QueryComputerName();
