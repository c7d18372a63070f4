#pragma once
// The history menu's Open item: a file, folder or network path that someone
// typed into a message, selected by the user and opened with the shell.

#include <cstddef>
#include <string>
#include <string_view>

// The selection without the quotes, blanks and line ends around it, and
// without trailing slashes and backslashes (a folder opens without them).
std::string StripSelection(std::string_view selected);
// Whether a stripped selection can be opened: one line, not empty.
bool IsOpenableSelection(std::string_view stripped);
// The Open item's text: "&Open" and the stripped selection in double
// quotes, shortened to `labelLimit` characters with "..." at its end;
// "&Open" and two double quotes when there is nothing to open. An "&" of the
// selection is doubled so that the menu shows it.
std::string OpenItemText(std::string_view stripped, std::size_t labelLimit);
// The message when the shell could not open it.
std::string OpenSelectionFailureText(std::string_view stripped);
