#pragma once
#include <ctime>
#include <string>
#include <string_view>

// strftime-like, "C" locale, identical natively and under Wine.
//
// Directives: %a %A %b %B %c %d %H %I %j %m %M %p %S %U %w %W %x %X %y %Y %z
// %Z %%, each optionally with the "#" flag. In the "C" locale %x is the
// picture "M/d/yy", %X "H:mm:ss", %c both of them separated by a space;
// "%#x" selects the long date "dddd, MMMM dd, yyyy" and "%#c" the long date
// followed by the time. On the numeric fields "#" removes leading zeros; on
// the others it changes nothing. %z and %Z give nothing: a broken-down time
// does not say which zone it belongs to.
//
// The texts formatted here include user and computer names from other
// computers, so every byte sequence is accepted: an unknown directive ("%Q",
// "%#Q") and a "%" or "%#" cut off by the end of the text are copied as they
// stand. Fields of `time` outside their ranges never index out of bounds: a
// weekday or month outside 0-6 or 0-11 is named "?", numbers are printed as
// they are.
std::string FormatTime(std::string_view format, const std::tm& time);
