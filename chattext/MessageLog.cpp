#include "chattext/MessageLog.h"

#include <algorithm>
#include <ctime>
#include <cstdint>
#include <limits>
#include <utility>

#include "chattext/TimeFormat.h"
#include "chattext/TimeZone.h"
#include "platform/FileApi.h"
#include "platform/SystemApi.h"

namespace {

constexpr char kLineEnd[] = "\r\n";

std::string MakeBlockHeader(const std::string& date) {
    const std::string stars(date.size(), '*');
    std::string header;
    header.reserve(4 * 2 + 3 * date.size());
    header.append(kLineEnd).append(stars).append(kLineEnd);
    header.append(date).append(kLineEnd);
    header.append(stars).append(kLineEnd);
    return header;
}

bool WriteAll(CFileApi& files, FileHandle file, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto chunk = static_cast<std::uint32_t>(
            std::min<std::size_t>(bytes.size(), std::numeric_limits<std::uint32_t>::max()));
        std::uint32_t written = 0;
        if (!files.Write(file, bytes.data(), chunk, &written) || written == 0) return false;
        bytes.remove_prefix(std::min<std::size_t>(written, bytes.size()));
    }
    return true;
}

// The log file opened where it belongs, with its path; an invalid handle
// when no place takes it, or when the file is there but someone else holds
// it: the line then waits for the next one rather than starting a second
// log elsewhere.
FileHandle OpenLogFile(CFileApi& files, CSystemApi& system, std::string& path, EFileOpenFailure& failure) {
    failure = EFileOpenFailure::Refused;
    path = GetWindowsLogFilePath(system);
    if (!path.empty()) {
        const FileHandle file = files.OpenExclusive(path, &failure);
        if (file != kInvalidFileHandle || failure == EFileOpenFailure::InUse) return file;
    }
    path = GetAppDataLogFilePath(system);
    if (path.empty()) return kInvalidFileHandle;
    // The folder is made at the first line, and is there for all later ones.
    files.CreateFolder(path.substr(0, path.rfind('\\')));
    return files.OpenExclusive(path, &failure);
}

}  // namespace

std::string GetWindowsLogFilePath(CSystemApi& system) {
    const std::string folder = GetWindowsDir(system);
    if (folder.empty()) return {};
    return folder + "\\" + kLogFileName;
}

std::string GetAppDataLogFilePath(CSystemApi& system) {
    std::string folder = system.QueryLocalAppDataFolder().value_or(std::string());
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    if (folder.empty()) return {};
    return folder + "\\" + kLogAppDataFolder + "\\" + kLogFileName;
}

std::string GetLogFilePath(CFileApi& files, CSystemApi& system) {
    std::string path;
    EFileOpenFailure failure = EFileOpenFailure::None;
    const CFileHandle file(files, OpenLogFile(files, system, path, failure));
    // A file that someone else holds is still where the log is.
    return file.IsValid() || failure == EFileOpenFailure::InUse ? path : std::string();
}

CMessageLog::CMessageLog(CFileApi& files, CSystemApi& system, LogDateText dateText, LoggingSetting loggingOn)
    : m_files(files), m_system(system), m_dateText(std::move(dateText)), m_loggingOn(std::move(loggingOn)) {}

bool CMessageLog::LogLine(std::string_view line, bool loggingSwitch, bool& headerPending) {
    if (!loggingSwitch || !m_loggingOn || !m_loggingOn()) return false;
    if (line.empty()) return false;

    std::string path;
    EFileOpenFailure failure = EFileOpenFailure::None;
    CFileHandle file(m_files, OpenLogFile(m_files, m_system, path, failure));
    if (!file.IsValid()) return false;
    std::uint64_t end = 0;
    if (!m_files.SeekToEnd(file.Get(), &end)) return false;

    // One write of header and line together, so that a failure leaves at most
    // a tail of our own to cut off.
    std::string bytes;
    if (headerPending) bytes = MakeBlockHeader(m_dateText ? m_dateText() : std::string());
    bytes.append(line);
    if (!WriteAll(m_files, file.Get(), bytes)) {
        // The file was ours alone since the open, so everything past `end` is
        // this call's: cutting there gives back the file as it was, and the
        // next line that gets through is not glued to a torn fragment.
        m_files.TruncateAt(file.Get(), end);
        return false;
    }
    headerPending = false;
    return true;
}

std::string MakeLogDateText(std::uint32_t secondsSince1970, const CTimeZone& timeZone) {
    const auto local = timeZone.ToLocalTime(secondsSince1970);
    return local ? FormatTime(kLogDateFormat, *local) : std::string();
}

LogDateText SystemLogDateText() {
    return [] {
        return MakeLogDateText(static_cast<std::uint32_t>(std::time(nullptr)), CSystemTimeZone());
    };
}
