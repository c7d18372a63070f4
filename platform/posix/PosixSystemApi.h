#pragma once
#include "platform/MailslotApi.h"

// Clock, sleeping and error codes on POSIX. There are no mailslots here: the
// UDP carrier stands in for them, so the mailslot calls simply fail.
class CPosixSystemApi final : public CMailslotApi {
public:
    PlatformHandle CreateMailslotServer(const std::string&, std::uint32_t, std::uint32_t) override;
    bool GetMailslotInfo(PlatformHandle, std::uint32_t*, std::uint32_t*) override;
    bool ReadFile(PlatformHandle, void*, std::uint32_t, std::uint32_t*) override;
    PlatformHandle OpenForWrite(const std::string&) override;
    bool WriteFile(PlatformHandle, const void*, std::uint32_t, std::uint32_t*) override;
    bool CloseHandle(PlatformHandle) override;
    std::uint32_t GetLastError() override { return m_lastError; }
    void SetLastError(std::uint32_t error) override { m_lastError = error; }
    std::uint32_t GetTickCount() override;
    void Sleep(std::uint32_t milliseconds) override;
    std::uint32_t GetTime() override;

private:
    bool Unsupported();
    std::uint32_t m_lastError = 0;
};
