#pragma once
// The seam for what the system tells about itself: who is logged in, where
// the Windows folder and the user's local application-data folder are, and
// which colours the user chose for windows. The
// in-memory backend lets tests set each of them.

#include <optional>
#include <string>

#include "platform/ColorRef.h"

enum class ESystemColor {
    Window,      // COLOR_WINDOW
    ButtonFace,  // COLOR_BTNFACE
};

class CSystemApi {
public:
    virtual ~CSystemApi() = default;

    // GetUserNameW into a buffer of UNLEN + 1 characters; nothing when the
    // call fails.
    virtual std::optional<std::string> QueryLoginName() = 0;
    // GetWindowsDirectoryW as the system gives it; nothing when the call
    // fails.
    virtual std::optional<std::string> QueryWindowsDirectory() = 0;
    // The user's local application-data folder (SHGetFolderPathW with
    // CSIDL_LOCAL_APPDATA), which a standard user may write; nothing when
    // the system does not tell it.
    virtual std::optional<std::string> QueryLocalAppDataFolder() = 0;
    // GetSysColor, read anew at every call: the user may change the colours
    // while the program runs.
    virtual ColorRef QuerySystemColor(ESystemColor which) = 0;
};

// The Windows folder, normalised as paths are (util/Paths.h); empty when the
// system does not tell it.
std::string GetWindowsDir(CSystemApi& system);
