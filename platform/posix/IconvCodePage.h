#pragma once
// Any code page the C library's iconv knows ("CP1251", "CP932", ...), for
// mivlet-peer on Linux with --codepage. One conversion runs at a time per
// object, as iconv's state is the object's.

#include <memory>

#include "platform/CodePage.h"

class CIconvCodePage final : public CCodePage {
public:
    // Nothing when iconv knows no such page.
    static std::unique_ptr<CIconvCodePage> Open(unsigned number);
    ~CIconvCodePage() override;

    std::string ToUtf8(std::string_view codePageBytes) const override;
    std::optional<std::string> FromUtf8(std::string_view utf8) const override;
    unsigned Number() const override { return m_number; }

private:
    CIconvCodePage(unsigned number, void* toUtf8, void* fromUtf8)
        : m_number(number), m_toUtf8(toUtf8), m_fromUtf8(fromUtf8) {}
    unsigned m_number;
    void* m_toUtf8;   // iconv_t
    void* m_fromUtf8; // iconv_t
};
