#include "tools/chat-remote/MessageBoxText.h"

#include <windows.h>

#include "util/win32/WideText.h"

namespace {

// A message box keeps its text in a static control; its button and icon
// have shorter ones or none.
std::string LongestChildText(HWND box) {
    std::string longest;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[2048] = {};
        ::GetWindowTextW(child, text, 2048);
        const std::string narrow = NarrowBuffer(text, 2048);
        if (narrow.size() > longest.size()) longest = narrow;
    }
    return longest;
}

}  // namespace

std::optional<std::string> FindMivletMessageBoxText() {
    struct CSearch {
        std::optional<std::string> text;
    } search;
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            wchar_t className[16] = {}, title[16] = {};
            ::GetClassNameW(window, className, 16);
            ::GetWindowTextW(window, title, 16);
            if (!::IsWindowVisible(window) || std::wstring(className) != L"#32770" || std::wstring(title) != L"Mivlet")
                return TRUE;
            // The chat window has its To: list; a message box has none.
            if (::FindWindowExW(window, nullptr, L"ComboBox", nullptr)) return TRUE;
            reinterpret_cast<CSearch*>(data)->text = LongestChildText(window);
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.text;
}
