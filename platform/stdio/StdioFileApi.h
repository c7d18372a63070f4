#pragma once
// Real files through the C library, for the native tests of the message log.
//
// The C library has no sharing modes, so "exclusive" holds among the opens
// made through one CStdioFileApi: a second open of a path that is still open
// fails, as CreateFileA without sharing would. On a system whose separator
// is the slash, the backslashes of the program's Windows paths are read as
// separators.

#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform/FileApi.h"

class CStdioFileApi final : public CFileApi {
public:
    CStdioFileApi() = default;
    CStdioFileApi(const CStdioFileApi&) = delete;
    CStdioFileApi& operator=(const CStdioFileApi&) = delete;
    ~CStdioFileApi() override;

    // The next write stores only its first `bytesBefore` bytes and then fails,
    // as on a disk that fills up.
    void FailNextWrite(std::size_t bytesBefore) { m_writeFault = bytesBefore; }
    std::size_t OpenFiles() const { return m_files.size(); }
    // Files in `folder` (the program's form of the path) cannot be opened
    // or made, nor folders made in it, as where the account may not write.
    void RefuseFolder(const std::string& folder);

    // The path as this backend hands it to the C library.
    static std::string LocalPath(const std::string& path);

    FileHandle OpenExclusive(const std::string& path, EFileOpenFailure* failure = nullptr) override;
    bool CreateFolder(const std::string& path) override;
    bool ReadStart(FileHandle file, void* data, std::uint32_t size, std::uint32_t* read) override;
    bool SeekToEnd(FileHandle file, std::uint64_t* offset) override;
    bool Write(FileHandle file, const void* data, std::uint32_t size, std::uint32_t* written) override;
    bool TruncateAt(FileHandle file, std::uint64_t offset) override;
    bool CloseFile(FileHandle file) override;

private:
    struct COpenFile {
        std::FILE* stream = nullptr;
        std::string path;  // local form
    };
    COpenFile* Find(FileHandle file);
    bool IsRefused(const std::string& local) const;

    std::map<FileHandle, COpenFile> m_files;
    FileHandle m_nextHandle = 0x40;
    std::optional<std::size_t> m_writeFault;
    std::set<std::string> m_refused;  // local form
};
