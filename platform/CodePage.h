#pragma once
// The system's 8-bit code page, in which older copies write every text on
// the wire and older logs hold theirs. Inside the program all text is
// UTF-8; this seam turns one into the other where bytes leave or enter.

#include <optional>
#include <string>
#include <string_view>

class CCodePage {
public:
    virtual ~CCodePage() = default;

    // Always a text: every byte reads as some character, a byte the page
    // leaves undefined as U+FFFD (or what the system makes of it).
    virtual std::string ToUtf8(std::string_view codePageBytes) const = 0;
    // Nothing when a character of `utf8` is not in the page: no look-alike
    // is put in its place, so that the caller can choose another form.
    // Ill-formed UTF-8 has no form in any page either.
    virtual std::optional<std::string> FromUtf8(std::string_view utf8) const = 0;
    // The number Windows knows the page by, 1252 for Western European.
    virtual unsigned Number() const = 0;
};
