// The settings decoders over registry values of any type and any bytes: a
// value may have been written by another program, by hand, or by an older
// version, and every reader takes the bytes whatever their type. Checks the
// promises of each reader: user names within their rules, a port that can be
// bound, a character format the rich edit control may be given, and a font
// that reads back the same after it was stored.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz/FuzzInput.h"
#include "messaging/CommandText.h"
#include "platform/CharFormat.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/MemorySystem.h"
#include "settings/ChatTextBackground.h"
#include "settings/FontSettings.h"
#include "settings/IntSettings.h"
#include "settings/PrefixSetting.h"
#include "settings/QuickKeySettings.h"
#include "settings/SettingsStore.h"
#include "settings/CarrierSetting.h"
#include "settings/UserName.h"
#include "util/AsciiText.h"

namespace {

const std::string kMain = kSettingsPath;
const std::string kKeys[] = {kMain, kMain + "\\" + kQuickKeysSubkey, kMain + "\\" + kGeneralFontSubkey,
                             kMain + "\\" + kPrefixFontSubkey};

constexpr std::string_view kMainNames[] = {
    kUsernameValue, kPrefixValue, kChatTextBackgroundValue, kTransportValue, kUdpPortValue,
    "PromptOnAllUsers", "DefaultToLastSender", "LogMessages", "PlaySnd", "OnNewMessage",
    "dlg-x", "dlg-y", "dlg-width", "dlg-height", "dlg-maximized"};
constexpr std::string_view kFontNames[] = {"Mask", "Effects", "Height", "Offset", "Color",
                                           "CharSet", "PitchAndFamily", "FaceName"};
constexpr CIntSetting kIntSettings[] = {kPromptOnAllUsers, kDefaultToLastSender, kLogMessages, kPlaySnd,
                                        kOnNewMessage, kDlgX, kDlgY, kDlgWidth, kDlgHeight, kDlgMaximized};

std::string ValueName(std::size_t key, std::uint8_t pick) {
    if (key == 0) return std::string(kMainNames[pick % std::size(kMainNames)]);
    if (key == 1) return "F" + std::to_string(pick % 14);
    return std::string(kFontNames[pick % std::size(kFontNames)]);
}

void CheckUserName(const std::string& name) {
    FUZZ_CHECK(name.size() <= kMaxUserNameLength);
    FUZZ_CHECK(TrimAsciiSpace(name).size() == name.size());
    FUZZ_CHECK(name.find('\t') == std::string::npos && name.find('\0') == std::string::npos);
    FUZZ_CHECK(name.find(kCommandMarker) == std::string::npos);
}

// What the control is promised: its one size, a terminated face name, and
// a mask that says which of the two it carries.
void CheckFormat(const CCharFormat& format) {
    FUZZ_CHECK(format.cbSize == kCharFormatSize);
    FUZZ_CHECK(format.szFaceName[kFaceNameSize - 1] == '\0');
    FUZZ_CHECK(format.yHeight != 0);
    FUZZ_CHECK(((format.dwMask & kCfmSize) != 0) == (format.yHeight != kNoHeight));
}

bool SameUnderMask(const CCharFormat& a, const CCharFormat& b) {
    const std::uint32_t mask = a.dwMask;
    return mask == b.dwMask && (!(mask & kCfmEffects) || a.dwEffects == b.dwEffects) &&
           (!(mask & kCfmSize) || a.yHeight == b.yHeight) && (!(mask & kCfmOffset) || a.yOffset == b.yOffset) &&
           (!(mask & kCfmColor) || a.crTextColor == b.crTextColor) &&
           (!(mask & kCfmCharset) || a.bCharSet == b.bCharSet) &&
           (!(mask & kCfmFace) ||
            (a.bPitchAndFamily == b.bPitchAndFamily && std::strcmp(a.szFaceName, b.szFaceName) == 0));
}

void CheckFont(CSettingsKey& key, bool boldByDefault) {
    CCharFormat read;
    ReadFontSetting(key, read, nullptr, boldByDefault);
    CheckFormat(read);
    FUZZ_CHECK(((read.dwMask & kCfmFace) != 0) == (read.szFaceName[0] != '\0'));
    FUZZ_CHECK(WriteFontSetting(key, read));
    CCharFormat again;
    ReadFontSetting(key, again, nullptr, boldByDefault);
    // A stored mask of 0 reads as a font never stored, which for the prefix
    // is bold: that one format cannot come back as it was.
    if (read.dwMask != 0 || !boldByDefault) FUZZ_CHECK(SameUnderMask(read, again));
}

}  // namespace

// Input: a byte of flags (bit 0: the login name follows as a length byte and
// its bytes), then values until the input ends: a byte choosing the key
// (low two bits) and a byte choosing the value name, the 32-bit type and the
// data (16-bit length, low 10 bits used). Last, any bytes left over are a
// character format handed to the reader as a source record.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput input(data, size);
    CMemoryRegistry registry;
    CMemorySystem system;
    // The system gives the login name as a zero-terminated text.
    if (input.Byte() & 1) system.SetLoginName(input.ShortText().c_str());

    CCharFormat source;
    while (!input.Empty()) {
        if (input.Remaining() == sizeof source) {
            std::memcpy(&source, input.Rest().data(), sizeof source);
            break;
        }
        const std::size_t key = input.Byte() & 3;
        const std::string name = ValueName(key, input.Byte());
        const std::uint32_t type = input.Uint32();
        registry.PutValue(kKeys[key], name, type, input.Bytes(input.Uint16() & 0x3FF));
    }

    CSettingsStore store(registry);
    bool unset = false;
    const std::string user = GetCurrentUserName(store, system, &unset);
    CheckUserName(user);
    if (!unset) FUZZ_CHECK(!user.empty());

    const std::string prefix = GetPrefixSetting(store);
    FUZZ_CHECK(!prefix.empty() && prefix.find('\0') == std::string::npos);
    GetChatTextBackground(store, system);
    for (const CIntSetting& setting : kIntSettings) GetIntSetting(store, setting);
    FUZZ_CHECK(GetCarrierSetting(store).port != 0);
    for (int functionKey = 0; functionKey <= 13; ++functionKey) {
        const std::string text = GetQuickKeyText(store, functionKey);
        FUZZ_CHECK(text.find('\0') == std::string::npos);
        if (QuickKeyValueName(functionKey).empty()) FUZZ_CHECK(text.empty());
    }

    CheckFont(store.GeneralFont(), false);
    CheckFont(store.PrefixFont(), true);
    CCharFormat fromSource;
    ReadFontSetting(store.GeneralFont(), fromSource, &source);
    CheckFormat(fromSource);
    return 0;
}
