#pragma once
// The message log: every line the history shows, appended to "mivlet.log" in
// the Windows folder while logging is on, or, where the account may not make
// or write the file there (a standard user), to "Mivlet\mivlet.log" in the
// user's local application-data folder. Each run of lines starts with a
// block header that carries the date and time of writing:
//
//   CR LF, N asterisks, CR LF, the date text, CR LF, N asterisks, CR LF
//
// where N is the length of the date text. The file is opened without sharing
// for each line and closed again, so nothing holds it between messages.
//
// A log this program starts is UTF-8 with a byte order mark. A log that is
// there already without the mark was written by an older version in the
// code page, and stays in it, so that whatever reads it goes on reading it:
// a character outside the page is written as "?", as that version did.
// Renaming such a log makes the next line start a UTF-8 one.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileApi.h"

class CCodePage;
class CSystemApi;

// The strftime form of the date text in a block header.
inline constexpr char kLogDateFormat[] = "%A, %B %#d, %Y at %#I:%M:%S %p";
inline constexpr char kLogFileName[] = "mivlet.log";
// The log's folder under the local application-data folder.
inline constexpr char kLogAppDataFolder[] = "Mivlet";

// Gives the current local time formatted with kLogDateFormat.
using LogDateText = std::function<std::string()>;
// Whether the user has logging on ("LogMessages"), asked for every line: a
// change on the Options page counts from the next message on.
using LoggingSetting = std::function<bool()>;

// The Windows folder, normalised, and "\mivlet.log"; empty when the system
// does not tell where the Windows folder is.
std::string GetWindowsLogFilePath(CSystemApi& system);
// The local application-data folder and "\Mivlet\mivlet.log"; empty when
// the system does not tell where that folder is.
std::string GetAppDataLogFilePath(CSystemApi& system);

// Where the log is, for whoever opens it (the View button): the place where
// the next line goes, found as a line finds it: the file in the Windows
// folder where that takes it, else the one in the local application-data
// folder (the file is made, empty, where it is missing). Empty when neither
// place takes the file.
std::string GetLogFilePath(CFileApi& files, CSystemApi& system);

class CMessageLog {
public:
    // `codePage` is the one of older logs.
    CMessageLog(CFileApi& files, CSystemApi& system, const CCodePage& codePage, LogDateText dateText,
                LoggingSetting loggingOn);

    // Appends one composed line (prefix, text, CR LF) when `loggingSwitch` is
    // on and so is the logging setting. `headerPending` is the
    // history's log header flag: while it is set, the line is preceded by a
    // block header, and it is cleared once that header is in the file.
    // Either the whole header and line reach the file or nothing does; on
    // any failure the flag stays as it was. True when the line was written.
    bool LogLine(std::string_view line, bool loggingSwitch, bool& headerPending);

private:
    // The bytes of `text` as the log file `file`, whose size is `size`, takes
    // them; nothing when its start cannot be read.
    std::optional<std::string> InFileEncoding(FileHandle file, std::uint64_t size, std::string_view text);

    CFileApi& m_files;
    CSystemApi& m_system;
    const CCodePage& m_codePage;
    LogDateText m_dateText;
    LoggingSetting m_loggingOn;
};

class CTimeZone;

// The date text of a block header written at `secondsSince1970` in
// `timeZone`; empty when the moment cannot be converted.
std::string MakeLogDateText(std::uint32_t secondsSince1970, const CTimeZone& timeZone);
// The date source the program uses: this computer's clock and zone.
LogDateText SystemLogDateText();
