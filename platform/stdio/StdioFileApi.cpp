#include "platform/stdio/StdioFileApi.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "util/AsciiText.h"

CStdioFileApi::~CStdioFileApi() {
    for (auto& entry : m_files) std::fclose(entry.second.stream);
}

std::string CStdioFileApi::LocalPath(const std::string& path) {
    std::string local = path;
    if (std::filesystem::path::preferred_separator == '/') std::replace(local.begin(), local.end(), '\\', '/');
    return local;
}

CStdioFileApi::COpenFile* CStdioFileApi::Find(FileHandle file) {
    const auto found = m_files.find(file);
    return found == m_files.end() ? nullptr : &found->second;
}

namespace {

// One spelling per folder, whatever separators it was given with, and in
// one letter case where the file system ignores it.
std::string FolderKey(const std::string& local) {
    std::filesystem::path folder = std::filesystem::path(local).lexically_normal();
    if (!folder.has_filename()) folder = folder.parent_path();
    return std::filesystem::path::preferred_separator == '\\' ? LowerAscii(folder.string()) : folder.string();
}

}  // namespace

void CStdioFileApi::RefuseFolder(const std::string& folder) { m_refused.insert(FolderKey(LocalPath(folder))); }

bool CStdioFileApi::IsRefused(const std::string& local) const {
    return m_refused.count(FolderKey(std::filesystem::path(FolderKey(local)).parent_path().string())) != 0;
}

FileHandle CStdioFileApi::OpenExclusive(const std::string& path, EFileOpenFailure* failure) {
    EFileOpenFailure ignored;
    EFileOpenFailure& why = failure ? *failure : ignored;
    why = EFileOpenFailure::Refused;
    const std::string local = LocalPath(path);
    if (local.empty() || IsRefused(local)) return kInvalidFileHandle;
    for (const auto& entry : m_files) {
        if (entry.second.path == local) {  // a sharing violation
            why = EFileOpenFailure::InUse;
            return kInvalidFileHandle;
        }
    }

    // "a" creates a missing file and never truncates one that is there; "r+"
    // then gives reading and writing at any place without creating.
    std::error_code error;
    if (!std::filesystem::exists(local, error)) {
        std::FILE* created = std::fopen(local.c_str(), "ab");
        if (!created) return kInvalidFileHandle;
        std::fclose(created);
    }
    std::FILE* stream = std::fopen(local.c_str(), "r+b");
    if (!stream) return kInvalidFileHandle;
    const FileHandle handle = m_nextHandle++;
    m_files[handle] = COpenFile{stream, local};
    why = EFileOpenFailure::None;
    return handle;
}

bool CStdioFileApi::CreateFolder(const std::string& path) {
    const std::string local = LocalPath(path);
    if (local.empty() || IsRefused(local)) return false;
    std::error_code error;
    std::filesystem::create_directory(local, error);
    return std::filesystem::is_directory(local, error);
}

bool CStdioFileApi::ReadStart(FileHandle file, void* data, std::uint32_t size, std::uint32_t* read) {
    if (read) *read = 0;
    COpenFile* open = Find(file);
    if (!open || std::fseek(open->stream, 0, SEEK_SET) != 0) return false;
    const std::size_t done = std::fread(data, 1, size, open->stream);
    if (read) *read = static_cast<std::uint32_t>(done);
    return done == size || !std::ferror(open->stream);
}

bool CStdioFileApi::SeekToEnd(FileHandle file, std::uint64_t* offset) {
    COpenFile* open = Find(file);
    if (!open || std::fseek(open->stream, 0, SEEK_END) != 0) return false;
    const long position = std::ftell(open->stream);
    if (position < 0) return false;
    if (offset) *offset = static_cast<std::uint64_t>(position);
    return true;
}

bool CStdioFileApi::Write(FileHandle file, const void* data, std::uint32_t size, std::uint32_t* written) {
    if (written) *written = 0;
    COpenFile* open = Find(file);
    if (!open) return false;
    std::size_t toWrite = size;
    const bool fault = m_writeFault.has_value();
    if (fault) toWrite = std::min(toWrite, *m_writeFault);
    m_writeFault.reset();
    const std::size_t done = std::fwrite(data, 1, toWrite, open->stream);
    const bool flushed = std::fflush(open->stream) == 0;
    if (written) *written = static_cast<std::uint32_t>(done);
    return !fault && flushed && done == size;
}

bool CStdioFileApi::TruncateAt(FileHandle file, std::uint64_t offset) {
    COpenFile* open = Find(file);
    if (!open || std::fflush(open->stream) != 0) return false;
    std::error_code error;
    std::filesystem::resize_file(open->path, offset, error);
    if (error) return false;
    return std::fseek(open->stream, static_cast<long>(offset), SEEK_SET) == 0;
}

bool CStdioFileApi::CloseFile(FileHandle file) {
    const auto found = m_files.find(file);
    if (found == m_files.end()) return false;
    const bool closed = std::fclose(found->second.stream) == 0;
    m_files.erase(found);
    return closed;
}
