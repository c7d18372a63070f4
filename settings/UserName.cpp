#include "settings/UserName.h"

#include "settings/SettingsStore.h"
#include "platform/SystemApi.h"
#include "util/AsciiText.h"
#include "util/Utf8Text.h"

namespace {

constexpr std::string_view kMarker = kCommandMarker;
constexpr std::string_view kBrokenMarker = "mivlet cmd";

}  // namespace

std::string CleanUserName(std::string_view name) {
    // Only the first 25 characters after the replacement survive, so the
    // scan stops there: a long name from anywhere costs no more than a
    // short one.
    std::string clean;
    std::size_t characters = 0;
    std::size_t at = 0;
    while (at < name.size() && characters < kMaxUserNameLength) {
        if (name.compare(at, kMarker.size(), kMarker) == 0) {
            clean += kBrokenMarker;
            characters += kBrokenMarker.size();
            at += kMarker.size();
        } else {
            const std::size_t length = ReadUtf8(name, at).length;
            clean.append(name.substr(at, length));
            ++characters;
            at += length;
        }
    }
    clean = ValidUtf8(FirstUtf8Characters(clean, kMaxUserNameLength));

    ReplaceTabsWithSpaces(clean);
    return std::string(TrimAsciiSpace(clean));
}

bool UserNameSetByPolicy(const CSettingsStore& store) { return store.Main().TextSetByPolicy(kUsernameValue); }

std::string GetCurrentUserName(const CSettingsStore& store, CSystemApi& system, bool* unset) {
    std::string name = CleanUserName(store.Main().ReadString(kUsernameValue, ""));
    const bool isUnset = name.empty() || EqualsNoCaseAscii(name, kCommandMarker);
    if (unset) *unset = isUnset;
    if (isUnset) name = CleanUserName(system.QueryLoginName().value_or(std::string()));
    return name;
}

bool SetCurrentUserName(CSettingsStore& store, std::string_view name) {
    return store.Main().WriteString(kUsernameValue, name); }
