#include "platform/win32/Win32CodePage.h"

#include <windows.h>

#include <climits>
#include <string>

#include "util/Utf8Text.h"

namespace {

std::wstring ToWide(unsigned codePage, DWORD flags, std::string_view bytes) {
    if (bytes.empty() || bytes.size() > INT_MAX) return {};
    const int size = static_cast<int>(bytes.size());
    const int wide = ::MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    if (wide <= 0) return {};
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    ::MultiByteToWideChar(codePage, flags, bytes.data(), size, text.data(), wide);
    return text;
}

}  // namespace

CWin32CodePage::CWin32CodePage() : m_number(::GetACP()) {}

bool CWin32CodePage::IsInstalled(unsigned number) { return ::IsValidCodePage(number) != 0; }

std::string CWin32CodePage::ToUtf8(std::string_view codePageBytes) const {
    const std::wstring wide = ToWide(m_number, 0, codePageBytes);
    if (wide.empty()) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    if (size <= 0) return {};
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr,
                          nullptr);
    // Windows passes unpaired surrogates through; inside the program text
    // is well-formed UTF-8.
    return ValidUtf8(utf8);
}

std::optional<std::string> CWin32CodePage::FromUtf8(std::string_view utf8) const {
    if (utf8.empty()) return std::string();
    if (!IsValidUtf8(utf8)) return std::nullopt;
    if (m_number == CP_UTF8) return std::string(utf8);
    const std::wstring wide = ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8);
    if (wide.empty()) return std::nullopt;
    // No best fit ("ü" for "ű"), and a default character used means a
    // character the page does not have: then the caller sends UTF-8.
    BOOL usedDefault = FALSE;
    const int length = static_cast<int>(wide.size());
    const int size = ::WideCharToMultiByte(m_number, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0,
                                           nullptr, &usedDefault);
    if (size <= 0 || usedDefault) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(m_number, WC_NO_BEST_FIT_CHARS, wide.data(), length, bytes.data(), size, nullptr,
                          &usedDefault);
    if (usedDefault) return std::nullopt;
    return bytes;
}
