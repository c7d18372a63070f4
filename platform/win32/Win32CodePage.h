#pragma once
// A Windows code page through the system's own tables: by default the ANSI
// code page, the one older copies use for every text on the wire.

#include "platform/CodePage.h"

class CWin32CodePage final : public CCodePage {
public:
    // The system's ANSI code page.
    CWin32CodePage();
    explicit CWin32CodePage(unsigned number) : m_number(number) {}

    std::string ToUtf8(std::string_view codePageBytes) const override;
    std::optional<std::string> FromUtf8(std::string_view utf8) const override;
    unsigned Number() const override { return m_number; }

    // Whether Windows has tables for `number`.
    static bool IsInstalled(unsigned number);

private:
    unsigned m_number;
};
