#include "settings/UserName.h"

#include "settings/SettingsStore.h"
#include "platform/SystemApi.h"
#include "util/AsciiText.h"

namespace {

constexpr std::string_view kMarker = kCommandMarker;
constexpr std::string_view kBrokenMarker = "mivlet cmd";

}  // namespace

std::string CleanUserName(std::string_view name) {
    // Only the first 25 bytes after the replacement survive, so the scan
    // stops there: a long name from anywhere costs no more than a short one.
    std::string clean;
    std::size_t at = 0;
    while (at < name.size() && clean.size() < kMaxUserNameLength) {
        if (name.compare(at, kMarker.size(), kMarker) == 0) {
            clean += kBrokenMarker;
            at += kMarker.size();
        } else {
            clean += name[at++];
        }
    }
    if (clean.size() > kMaxUserNameLength) clean.resize(kMaxUserNameLength);

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
