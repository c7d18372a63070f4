#include "app/HelpCommands.h"

#include "app/AboutDlg.h"
#include "chatwindow/Texts.h"
#include "resources/ResourceIds.h"
#include "util/win32/Handles.h"
#include "util/win32/WideText.h"

namespace {

constexpr WORD kHtmlResourceType = 23;  // RT_HTML

std::string SystemErrorText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
        0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message =
        length && text ? Narrow(std::wstring_view(text, length)) : "Error " + std::to_string(error) + ".";
    if (text) ::LocalFree(text);
    while (!message.empty() && (message.back() == '\r' || message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    return message;
}

// The page's bytes, written whole over any file of that name; the error
// text when that failed.
bool WriteReadMe(const std::string& path, std::string& error) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(IDR_README), MAKEINTRESOURCEW(kHtmlResourceType));
    const HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD size = found ? ::SizeofResource(module, found) : 0;
    if (!bytes) {
        error = "The page is missing from the program.";
        return false;
    }
    const CWin32FileHandle file(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.Get(), bytes, size, &written, nullptr) || written != size) {
        error = SystemErrorText(::GetLastError());
        return false;
    }
    return true;
}

}  // namespace

std::string ReadMeFailureText(const std::string& path, const std::string& error) {
    return "Mivlet could not write the read-me page\r\n" + path + "\r\n" + error;
}

std::string CProgramHelp::ReadMePath() {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length > MAX_PATH) return {};
    std::string path = Narrow(std::wstring_view(folder, length));
    if (path.back() == '\\') path.pop_back();
    return path + "\\" + kReadMeFileName;
}

void CProgramHelp::ShowAbout(HWND parent) {
    CAboutDlg about;
    about.RunModal(parent);
}

void CProgramHelp::ViewReadMe() {
    const std::string path = ReadMePath();
    std::string error = "The system names no temporary folder.";
    if (path.empty() || !WriteReadMe(path, error)) {
        m_opener.Host().ShowMessage(ReadMeFailureText(path.empty() ? kReadMeFileName : path, error));
        return;
    }
    m_opener.OpenLink(path, true);
}

void CProgramHelp::VisitWebSite() { m_opener.OpenLink(kWebSiteAddress, true); }

void CProgramHelp::EmailSupport() { m_opener.OpenLink(std::string("mailto:") + kSupportEmail, true); }
