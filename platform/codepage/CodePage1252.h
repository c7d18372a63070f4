#pragma once
// Windows code page 1252 (Western European), as Windows converts it: the
// five bytes the page leaves undefined (81, 8D, 8F, 90, 9D) stand for the
// control characters of the same number, so every byte survives a round
// trip. The code page of tests and of mivlet-peer unless told otherwise.

#include "platform/CodePage.h"

class CCodePage1252 final : public CCodePage {
public:
    std::string ToUtf8(std::string_view codePageBytes) const override;
    std::optional<std::string> FromUtf8(std::string_view utf8) const override;
    unsigned Number() const override { return 1252; }
};
