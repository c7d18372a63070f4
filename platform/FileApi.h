#pragma once
// The seam between the message log and the file system: one file opened for
// appending without sharing, written and closed again. The Win32 backend uses
// CreateFileW and friends; the stdio backend uses real files through the C
// library so that native tests see what lands on disk.

#include <cstdint>
#include <string>
#include <utility>

#include "util/ApiResource.h"

// An opaque file; on Win32 it is the HANDLE value itself.
using FileHandle = std::uintptr_t;
inline constexpr FileHandle kInvalidFileHandle = ~FileHandle{0};  // INVALID_HANDLE_VALUE

// Why an open failed: someone else holds the file (a sharing or lock
// violation), or the place does not take it (no rights, as in the Windows
// folder for a standard user; no such folder; any other error).
enum class EFileOpenFailure { None, InUse, Refused };

class CFileApi {
public:
    virtual ~CFileApi() = default;

    // CreateFileW(path, GENERIC_READ | GENERIC_WRITE, no sharing, no security,
    // OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, no template): creates the file when
    // missing, keeps its contents otherwise, and fails while anyone else has
    // it open. `failure`, when given, tells why it failed.
    virtual FileHandle OpenExclusive(const std::string& path, EFileOpenFailure* failure = nullptr) = 0;
    // CreateDirectoryW; true also when the folder is there already.
    virtual bool CreateFolder(const std::string& path) = 0;
    // Reads up to `size` bytes from the start of the file into `data` and
    // tells how many came; the next write still goes to the end.
    virtual bool ReadStart(FileHandle file, void* data, std::uint32_t size, std::uint32_t* read) = 0;
    // Moves to the end of the file and tells where that is.
    virtual bool SeekToEnd(FileHandle file, std::uint64_t* offset) = 0;
    virtual bool Write(FileHandle file, const void* data, std::uint32_t size, std::uint32_t* written) = 0;
    // Cuts the file at `offset` (SetFilePointerEx, SetEndOfFile).
    virtual bool TruncateAt(FileHandle file, std::uint64_t offset) = 0;
    virtual bool CloseFile(FileHandle file) = 0;
};

// Owns one file of a CFileApi and closes it when it goes.
using CFileHandle = CApiResource<CFileApi, FileHandle, kInvalidFileHandle, &CFileApi::CloseFile>;
