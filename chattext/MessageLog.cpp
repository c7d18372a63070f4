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

}  // namespace

std::string GetLogFilePath(CSystemApi& system) {
    const std::string folder = GetWindowsDir(system);
    if (folder.empty()) return {};
    return folder + "\\" + kLogFileName;
}

CMessageLog::CMessageLog(CFileApi& files, CSystemApi& system, LogDateText dateText, LoggingSetting loggingOn)
    : m_files(files), m_system(system), m_dateText(std::move(dateText)), m_loggingOn(std::move(loggingOn)) {}

bool CMessageLog::LogLine(std::string_view line, bool loggingSwitch, bool& headerPending) {
    if (!loggingSwitch || !m_loggingOn || !m_loggingOn()) return false;
    if (line.empty()) return false;

    const std::string path = GetLogFilePath(m_system);
    if (path.empty()) return false;
    CFileHandle file(m_files, m_files.OpenExclusive(path));
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
