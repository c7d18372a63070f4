#include "platform/posix/IconvCodePage.h"

#include <cerrno>
#include <iconv.h>
#include <string>

#include "util/Utf8Text.h"

namespace {

iconv_t Handle(void* handle) { return static_cast<iconv_t>(handle); }
const iconv_t kNoHandle = reinterpret_cast<iconv_t>(-1);

// Converts all of `from`; on a byte iconv cannot take, `onError` decides:
// false gives up, true skips the byte (having put its stand-in into `to`).
template <typename OnError>
bool Convert(iconv_t handle, std::string_view from, std::string& to, OnError onError) {
    iconv(handle, nullptr, nullptr, nullptr, nullptr);  // a fresh state for every text
    char* in = const_cast<char*>(from.data());
    std::size_t inLeft = from.size();
    char buffer[256];
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t done = iconv(handle, &in, &inLeft, &out, &outLeft);
        to.append(buffer, static_cast<std::size_t>(out - buffer));
        if (done != static_cast<std::size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        if (!onError(to)) return false;
        ++in;
        --inLeft;
    }
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(handle, nullptr, nullptr, &out, &outLeft);
    to.append(buffer, static_cast<std::size_t>(out - buffer));
    return true;
}

}  // namespace

std::unique_ptr<CIconvCodePage> CIconvCodePage::Open(unsigned number) {
    const std::string name = "CP" + std::to_string(number);
    const iconv_t toUtf8 = iconv_open("UTF-8", name.c_str());
    if (toUtf8 == kNoHandle) return nullptr;
    const iconv_t fromUtf8 = iconv_open(name.c_str(), "UTF-8");
    if (fromUtf8 == kNoHandle) {
        iconv_close(toUtf8);
        return nullptr;
    }
    return std::unique_ptr<CIconvCodePage>(new CIconvCodePage(number, toUtf8, fromUtf8));
}

CIconvCodePage::~CIconvCodePage() {
    iconv_close(Handle(m_toUtf8));
    iconv_close(Handle(m_fromUtf8));
}

std::string CIconvCodePage::ToUtf8(std::string_view codePageBytes) const {
    std::string utf8;
    Convert(Handle(m_toUtf8), codePageBytes, utf8, [](std::string& to) {
        AppendUtf8(to, kReplacementCharacter);
        return true;
    });
    return ValidUtf8(utf8);
}

std::optional<std::string> CIconvCodePage::FromUtf8(std::string_view utf8) const {
    if (!IsValidUtf8(utf8)) return std::nullopt;
    std::string bytes;
    if (!Convert(Handle(m_fromUtf8), utf8, bytes, [](std::string&) { return false; })) return std::nullopt;
    return bytes;
}
