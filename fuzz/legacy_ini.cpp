// The import of the legacy INI file, from any bytes: the file may have been
// edited by hand or by other programs. Checks that the import stores every
// setting it reads and a user name within what the profile functions give
// (at most 99 characters, trimmed), and that any lookup keeps to its buffer.

#include <cstdint>
#include <string>

#include "fuzz/FuzzInput.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/IntSettings.h"
#include "settings/LegacyProfile.h"
#include "settings/LegacySettings.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsStore.h"
#include "settings/UserName.h"
#include "util/AsciiText.h"

namespace {

constexpr CIntSetting kImported[] = {kPromptOnAllUsers, kDefaultToLastSender, kLogMessages, kPlaySnd, kOnNewMessage,
                                     kDlgX, kDlgY, kDlgWidth, kDlgHeight, kDlgMaximized};

}  // namespace

// Input: a byte for the buffer size of one more lookup, that lookup's
// section and key (a length byte each), then the rest as the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput input(data, size);
    const std::size_t bufferSize = input.Byte();
    const std::string section = input.ShortText();
    const std::string key = input.ShortText();
    const CLegacyProfile profile(input.Rest());

    const std::string looked = profile.GetString(section, key, "default", bufferSize);
    FUZZ_CHECK(looked.size() < std::max<std::size_t>(bufferSize, 1));
    FUZZ_CHECK(looked.find('\0') == std::string::npos);
    profile.GetInt(section, key, -1);

    CMemoryRegistry registry;
    CSettingsStore store(registry);
    ImportLegacyProfile(store, profile);
    const auto name = registry.FindValue(kSettingsPath, kUsernameValue);
    FUZZ_CHECK(name.has_value());
    // Stored with its terminating zero.
    FUZZ_CHECK(!name->bytes.empty() && name->bytes.find('\0') == name->bytes.size() - 1);
    const std::string stored = name->bytes.substr(0, name->bytes.size() - 1);
    FUZZ_CHECK(stored.size() <= 99);
    FUZZ_CHECK(TrimAsciiSpace(stored).size() == stored.size());
    FUZZ_CHECK(stored == ReadLegacyUserName(profile));
    for (const CIntSetting& setting : kImported) FUZZ_CHECK(registry.FindValue(kSettingsPath, setting.name).has_value());
    return 0;
}
