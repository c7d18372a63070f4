#pragma once
// Path helpers shared by the subsystems. Paths are compared and shown in one
// form: without a trailing backslash and in lower case.

#include <optional>
#include <string>
#include <string_view>

// Removes one trailing backslash and lower-cases the ASCII letters; other
// bytes are kept as they are.
std::string NormalizePath(std::string_view path);

// The folder part of a full path, without the backslash that ends it;
// nothing when the path names no folder. An empty folder would stand for the
// root of the current drive, which is never what a caller means.
std::optional<std::string> FolderOf(std::string_view path);
