#include "app/LegacyIni.h"

#include <windows.h>

#include "settings/LegacyProfile.h"
#include "util/win32/Handles.h"
#include "util/win32/WideText.h"

namespace {

std::string ReadBytes(const std::string& path) {
    const CWin32FileHandle file(::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::string bytes(CLegacyProfile::kMaxFileBytes, '\0');
    DWORD read = 0;
    if (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) return {};
    bytes.resize(read);
    return bytes;
}

// The file as UTF-8, the form every text of the program takes. Earlier
// versions wrote it in the system's code page; a file saved again as UTF-16
// ("Unicode" in Notepad) keeps every character too, instead of the "?" that
// the ANSI profile functions made of what the code page lacks.
std::string AsUtf8(const std::string& bytes) {
    const bool little = bytes.compare(0, 2, "\xFF\xFE") == 0;
    if (little || bytes.compare(0, 2, "\xFE\xFF") == 0) {
        std::wstring units((bytes.size() - 2) / 2, L'\0');
        for (std::size_t i = 0; i < units.size(); ++i) {
            const auto first = static_cast<unsigned char>(bytes[2 + 2 * i]);
            const auto second = static_cast<unsigned char>(bytes[3 + 2 * i]);
            units[i] = static_cast<wchar_t>(little ? first | (second << 8) : (first << 8) | second);
        }
        return Narrow(units);
    }
    if (bytes.empty()) return {};
    const int length = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), length);
    return Narrow(wide);
}

}  // namespace

void ImportLegacyIni(CSettingsStore& store, const std::string& iniPath) {
    ImportLegacyProfile(store, CLegacyProfile(AsUtf8(ReadBytes(iniPath))));
}
