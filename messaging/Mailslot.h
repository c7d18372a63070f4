#pragma once
#include <cstdint>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "messaging/Datagram.h"
#include "messaging/MessageRecord.h"
#include "messaging/PartialMessage.h"
#include "platform/MailslotApi.h"

// The mailslot endpoint: owns this computer's mailslot, numbers and writes
// outgoing datagrams, and joins incoming ones into message records.
class CMailslot {
public:
    // Creates the local mailslot at once. `localComputer` is the sender
    // identity on the wire; the program passes the process-wide name, tests
    // give each virtual computer its own.
    CMailslot(CMailslotApi& api, const char* name, std::string localComputer);
    CMailslot(const CMailslot&) = delete;
    CMailslot& operator=(const CMailslot&) = delete;

    bool Create();
    bool IsOpen() const { return m_handle.IsValid(); }
    // Whether the last Create failed because the name (or the UDP port) is
    // taken: on a computer where several users are logged on at once, the
    // first user's copy holds it.
    bool TakenByAnotherCopy() const { return m_takenByAnotherCopy; }
    bool HasMessages();
    bool ReadDatagram(char* buffer, std::uint32_t capacity, std::uint32_t* bytesRead);

    // The path through which the mailslot `name` on `computer` is opened;
    // empty when either is absent.
    std::string MakePath(const char* computer, const char* name) const;
    static std::string MakePath(const char* computer, const char* name, const std::string& localComputer);

    // Sends one message to `target` ("*" for all computers); true when every
    // datagram was written whole. Blocks for the retries and the pacing.
    bool Send(const char* target, const char* userName, const char* text, bool retry);

    // Drains the mailslot, appending complete messages to `records` in the
    // order their last chunks arrived, and stops after `maxDatagrams` have
    // been read: what is left waits for the next call. False when the
    // endpoint is not open or a read or a datagram was bad; the records
    // appended stay valid.
    bool Receive(std::vector<CMessageRecord>& records, std::size_t maxDatagrams = SIZE_MAX);
    // The same, and it stops, too, once `maxCounted` of the records it
    // appended are ones that `counts` says cost the caller much.
    bool Receive(std::vector<CMessageRecord>& records, std::size_t maxDatagrams,
                 const std::function<bool(const CMessageRecord&)>& counts, std::size_t maxCounted);

    // Waits at most `timeoutMs` for a datagram, where the carrier can wait;
    // otherwise sleeps that long.
    void WaitForMessage(std::uint32_t timeoutMs) { m_api.WaitForMessage(m_handle.Get(), timeoutMs); }
    // Has `message` posted to `window` when a datagram arrives; false when
    // the carrier cannot.
    bool NotifyOnMessage(std::uintptr_t window, std::uint32_t message) {
        return IsOpen() && m_api.NotifyOnMessage(m_handle.Get(), window, message);
    }

    const std::string& Name() const { return m_name; }
    const std::string& LocalComputer() const { return m_localComputer; }
    std::int32_t SequenceCounter() const { return m_sequence; }
    // A program that starts anew for every message would otherwise always
    // begin at "00001", and receivers drop a first datagram that repeats the
    // last number they remember from the same sender.
    void SetSequenceCounter(std::int32_t counter) { m_sequence = ((counter % kSequenceModulus) + kSequenceModulus) % kSequenceModulus; }
    const CPartialMessageTable& PartialMessages() const { return m_partial; }

    static constexpr std::uint32_t kOpenRetryWindowMs = 2000;
    static constexpr std::uint32_t kRewriteDelayMs = 100;
    static constexpr std::uint32_t kChunkPacingMs = 75;

private:
    bool OpenTarget(const std::string& path, bool retry, CPlatformHandle& target);
    bool WriteDatagram(PlatformHandle target, const char* data, std::uint32_t size);

    CMailslotApi& m_api;
    std::string m_name;
    CPlatformHandle m_handle;
    bool m_takenByAnotherCopy = false;
    CPartialMessageTable m_partial;
    // Reused for every datagram read; as large as the largest read so far.
    std::vector<char> m_readBuffer;
    std::int32_t m_sequence = 0;
    std::string m_localComputer;
};
