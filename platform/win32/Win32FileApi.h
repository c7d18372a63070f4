#pragma once
#include "platform/FileApi.h"

// The file seam on kernel32.
class CWin32FileApi final : public CFileApi {
public:
    FileHandle OpenExclusive(const std::string& path, EFileOpenFailure* failure = nullptr) override;
    bool CreateFolder(const std::string& path) override;
    bool ReadStart(FileHandle file, void* data, std::uint32_t size, std::uint32_t* read) override;
    bool SeekToEnd(FileHandle file, std::uint64_t* offset) override;
    bool Write(FileHandle file, const void* data, std::uint32_t size, std::uint32_t* written) override;
    bool TruncateAt(FileHandle file, std::uint64_t offset) override;
    bool CloseFile(FileHandle file) override;
};
