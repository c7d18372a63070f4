#pragma once
// The one seam between the messaging core and the operating system: every
// call the mailslot endpoint makes goes through CMailslotApi. The Win32
// backend forwards to the real API; the in-memory backend simulates a network
// of computers with a virtual clock for the tests.
//
// The seam is kept at the level of "open a target path, write a datagram,
// read my mailslot", so that another carrier can stand behind the same calls.

#include <cstdint>
#include <string>
#include <utility>

#include "util/ApiResource.h"

// An opaque handle; on Win32 it is the HANDLE value itself.
using PlatformHandle = std::uintptr_t;
inline constexpr PlatformHandle kInvalidPlatformHandle = ~PlatformHandle{0};  // INVALID_HANDLE_VALUE

// GetMailslotInfo's "next size" when the mailslot is empty.
inline constexpr std::uint32_t kMailslotNoMessage = 0xFFFFFFFFu;

class CMailslotApi {
public:
    virtual ~CMailslotApi() = default;

    // CreateMailslotA(path, maxMessageSize, readTimeout, no security attributes).
    virtual PlatformHandle CreateMailslotServer(const std::string& path, std::uint32_t maxMessageSize,
                                          std::uint32_t readTimeoutMs) = 0;
    // GetMailslotInfo with only the outputs that are not null filled in.
    virtual bool GetMailslotInfo(PlatformHandle mailslot, std::uint32_t* nextSize,
                                 std::uint32_t* messageCount) = 0;
    virtual bool ReadFile(PlatformHandle file, void* buffer, std::uint32_t toRead,
                          std::uint32_t* bytesRead) = 0;
    // CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, no security,
    // OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, no template). A mailslot client
    // must share reading with the server: without it the open of a local
    // mailslot fails with a sharing violation.
    virtual PlatformHandle OpenForWrite(const std::string& path) = 0;
    virtual bool WriteFile(PlatformHandle file, const void* data, std::uint32_t size,
                           std::uint32_t* bytesWritten) = 0;
    virtual bool CloseHandle(PlatformHandle handle) = 0;

    // Waits at most `timeoutMs` for a datagram to arrive in `mailslot`, for
    // a program that has nothing else to do; the system's mailslots cannot
    // be waited on, so the plain form sleeps.
    virtual void WaitForMessage(PlatformHandle /*mailslot*/, std::uint32_t timeoutMs) { Sleep(timeoutMs); }
    // Asks for `message` to be posted to the window `window` whenever a
    // datagram arrives in `mailslot`; false when the carrier cannot, and the
    // window then reads on its timer alone.
    virtual bool NotifyOnMessage(PlatformHandle /*mailslot*/, std::uintptr_t /*window*/, std::uint32_t /*message*/) {
        return false;
    }

    virtual std::uint32_t GetLastError() = 0;
    virtual void SetLastError(std::uint32_t error) = 0;
    virtual std::uint32_t GetTickCount() = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // Seconds since 1970 (UTC) on this computer's clock.
    virtual std::uint32_t GetTime() = 0;
};

// Owns one handle of a CMailslotApi and closes it when it goes.
using CPlatformHandle = CApiResource<CMailslotApi, PlatformHandle, kInvalidPlatformHandle, &CMailslotApi::CloseHandle>;
