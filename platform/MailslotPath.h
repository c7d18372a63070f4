#pragma once
// Splits a mailslot path "\\host\mailslot\name" into its host ("." for this
// computer, "*" for all computers, else a computer name) and its name.

#include <optional>
#include <string>
#include <string_view>

struct CMailslotPath {
    std::string host;
    std::string name;  // lower-cased: mailslot names ignore letter case
};

std::optional<CMailslotPath> ParseMailslotPath(std::string_view path);
