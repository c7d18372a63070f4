#pragma once
#include <string>
#include <string_view>

// Turns a build date such as "Dec 12 2000" (the compiler's __DATE__ form, a
// one-digit day padded with a space) into "December 12, 2000".
std::string MakeLongDate(std::string_view buildDate);
