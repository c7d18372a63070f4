#include "chattext/MessageLog.h"

#include <algorithm>
#include <ctime>
#include <cstdint>
#include <limits>
#include <utility>

#include "chattext/TimeFormat.h"
#include "chattext/TimeZone.h"
#include "platform/CodePage.h"
#include "platform/FileApi.h"
#include "platform/SystemApi.h"
#include "util/Utf8Text.h"

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

// What an older version wrote for `text`: the code page, "?" for each
// character outside it.
std::string InCodePageOrQuestionMarks(const CCodePage& codePage, std::string_view text) {
    if (auto whole = codePage.FromUtf8(text)) return std::move(*whole);
    std::string bytes;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = ReadUtf8(text, at).length;
        bytes += codePage.FromUtf8(text.substr(at, length)).value_or("?");
        at += length;
    }
    return bytes;
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

CMessageLog::CMessageLog(CFileApi& files, CSystemApi& system, const CCodePage& codePage, LogDateText dateText,
                         LoggingSetting loggingOn)
    : m_files(files),
      m_system(system),
      m_codePage(codePage),
      m_dateText(std::move(dateText)),
      m_loggingOn(std::move(loggingOn)) {}

std::optional<std::string> CMessageLog::InFileEncoding(FileHandle file, std::uint64_t size, std::string_view text) {
    if (size == 0) {
        std::string bytes(kUtf8Mark);
        return bytes.append(text);
    }
    char start[3] = {};
    std::uint32_t read = 0;
    if (!m_files.ReadStart(file, start, sizeof start, &read)) return std::nullopt;
    if (std::string_view(start, read) == kUtf8Mark) return std::string(text);
    return InCodePageOrQuestionMarks(m_codePage, text);
}

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
    std::string text;
    if (headerPending) text = MakeBlockHeader(m_dateText ? m_dateText() : std::string());
    text.append(line);
    const std::optional<std::string> bytes = InFileEncoding(file.Get(), end, text);
    if (!bytes || !m_files.SeekToEnd(file.Get(), &end)) return false;
    if (!WriteAll(m_files, file.Get(), *bytes)) {
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
