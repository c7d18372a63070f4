#pragma once
// Path helpers shared by the subsystems. Paths are compared and shown in one
// form: without a trailing backslash and in lower case.

#include <string>
#include <string_view>

// Removes one trailing backslash and lower-cases the ASCII letters; other
// bytes are kept as they are.
std::string NormalizePath(std::string_view path);
