#pragma once
#include <cstdint>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "messaging/Datagram.h"
#include "messaging/MessageRecord.h"
#include "messaging/PartialMessage.h"
#include "platform/Clock.h"
#include "platform/DatagramCarrier.h"

// The endpoint: this computer's place on the carrier. It numbers and writes
// outgoing datagrams, and joins incoming ones into message records.
class CMailslot {
public:
    // Opens this computer's endpoint on the carrier at once. `localComputer`
    // is the sender identity on the wire; the program passes the process-wide
    // name, tests give each virtual computer its own.
    CMailslot(CDatagramCarrier& carrier, CClock& clock, std::string localComputer);
    // Gives the carrier's endpoint up again, if this endpoint opened it.
    ~CMailslot();
    CMailslot(const CMailslot&) = delete;
    CMailslot& operator=(const CMailslot&) = delete;

    bool Create();
    bool IsOpen() const { return m_openResult == EOpenResult::Opened; }
    // Why the endpoint is not open, or Opened.
    EOpenResult OpenResult() const { return m_openResult; }
    bool HasMessages() { return IsOpen() && m_carrier.HasDatagrams(); }

    // Sends one message to `target` ("*" for all computers; empty or this
    // computer's name for this one); true when every datagram was written
    // whole. Blocks for the retries and for the pauses the carrier needs.
    bool Send(const char* target, const char* userName, const char* text, bool retry);
    // The same to the computer that sent `record`, as an answer to it: the
    // carrier may send it back to where the record came from.
    bool Answer(const CMessageRecord& record, const char* userName, const char* text, bool retry);

    // Drains the endpoint, appending complete messages to `records` in the
    // order their last chunks arrived, and stops after `maxDatagrams` have
    // been read: what is left waits for the next call. Partial texts that
    // waited too long for their next chunk come first, as what arrived. False when the
    // endpoint is not open or a read or a datagram was bad; the records
    // appended stay valid.
    bool Receive(std::vector<CMessageRecord>& records, std::size_t maxDatagrams = SIZE_MAX);
    // The same, and it stops, too, once `maxCounted` of the records it
    // appended are ones that `counts` says cost the caller much.
    bool Receive(std::vector<CMessageRecord>& records, std::size_t maxDatagrams,
                 const std::function<bool(const CMessageRecord&)>& counts, std::size_t maxCounted);

    // Waits at most `timeoutMs` for a datagram.
    void WaitForMessage(std::uint32_t timeoutMs) { m_carrier.WaitForDatagram(timeoutMs); }
    // Has `signal` called when a datagram arrives; false when the carrier
    // cannot.
    bool NotifyOnArrival(std::function<void()> signal) {
        return IsOpen() && m_carrier.NotifyOnArrival(std::move(signal));
    }
    bool NotifyWindowOnArrival(std::uintptr_t window, std::uint32_t message) {
        return IsOpen() && m_carrier.NotifyWindowOnArrival(window, message);
    }

    // Where `target`, as the callers name it, is on the carrier.
    CDatagramTarget TargetOf(const std::string& target) const;

    const std::string& LocalComputer() const { return m_localComputer; }
    std::int32_t SequenceCounter() const { return m_sequence; }
    // A program that starts anew for every message would otherwise always
    // begin at "00001", and receivers drop a first datagram that repeats the
    // last number they remember from the same sender.
    void SetSequenceCounter(std::int32_t counter) { m_sequence = ((counter % kSequenceModulus) + kSequenceModulus) % kSequenceModulus; }
    const CPartialMessageTable& PartialMessages() const { return m_partial; }

    // How long a target that is not ready yet is tried again, back to back.
    static constexpr std::uint32_t kOpenRetryWindowMs = 2000;
    // The pause before a datagram that did not go whole is written again.
    static constexpr std::uint32_t kRewriteDelayMs = 100;

private:
    bool SendText(const CDatagramTarget& to, const char* userName, const char* text, bool retry);
    ESendResult SendDatagram(const CDatagramTarget& target, std::string_view datagram, bool retry);

    CDatagramCarrier& m_carrier;
    CClock& m_clock;
    EOpenResult m_openResult = EOpenResult::Failed;
    CPartialMessageTable m_partial;
    CReceivedDatagram m_received;  // reused for every datagram read
    std::int32_t m_sequence = 0;
    std::string m_localComputer;
};
