#pragma once
// The program's own executable path, normalised (lower case, no trailing
// backslash); nothing when the system does not tell it or the path does not
// fit into MAX_PATH characters.

#include <optional>
#include <string>

std::optional<std::string> GetModulePath();
