#pragma once
#include "platform/MailslotApi.h"

// The mailslot seam on the real Win32 API.
class CWin32MailslotApi final : public CMailslotApi {
public:
    PlatformHandle CreateMailslotServer(const std::string& path, std::uint32_t maxMessageSize,
                                  std::uint32_t readTimeoutMs) override;
    bool GetMailslotInfo(PlatformHandle mailslot, std::uint32_t* nextSize, std::uint32_t* messageCount) override;
    bool ReadFile(PlatformHandle file, void* buffer, std::uint32_t toRead, std::uint32_t* bytesRead) override;
    PlatformHandle OpenForWrite(const std::string& path) override;
    bool WriteFile(PlatformHandle file, const void* data, std::uint32_t size, std::uint32_t* bytesWritten) override;
    bool CloseHandle(PlatformHandle handle) override;
    std::uint32_t GetLastError() override;
    void SetLastError(std::uint32_t error) override;
    std::uint32_t GetTickCount() override;
    void Sleep(std::uint32_t milliseconds) override;
    std::uint32_t GetTime() override;
};

