#pragma once
// A message box of the program shown in this session, seen from another
// process: a visible dialog titled "Mivlet" that is not the chat window,
// for the tests of what the program tells the user when it cannot start.

#include <optional>
#include <string>

// The longest text of a visible message box titled "Mivlet"; nothing when
// none shows.
std::optional<std::string> FindMivletMessageBoxText();
