// The mailslot endpoint on the real Win32 API (run under Wine).

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "messaging/LocalComputerName.h"
#include "messaging/Mailslot.h"
#include "util/AsciiText.h"
#include "platform/win32/Win32ComputerName.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32MailslotCarrier.h"
#include "util/win32/Handles.h"

namespace {

// Mailslots and files give INVALID_HANDLE_VALUE when they fail.
CWin32FileHandle Own(HANDLE h) { return CWin32FileHandle(h); }

constexpr char kPath[] = "\\\\.\\mailslot\\Mivlet";

class Win32Mailslot : public ::testing::Test {
protected:
    // The name the program takes at start.
    static std::string LocalName() { return ChooseLocalComputerName(QueryComputerName()); }
    std::vector<CMessageRecord> Drain(CMailslot& endpoint) {
        std::vector<CMessageRecord> records;
        EXPECT_TRUE(endpoint.Receive(records));
        return records;
    }
    CWin32Clock clock;
};

// One program's endpoint on the system's mailslots.
struct CMailslotCopy {
    explicit CMailslotCopy(CClock& clock, const std::string& computer) : endpoint(carrier, clock, computer) {}
    CWin32MailslotCarrier carrier{"Mivlet"};
    CMailslot endpoint;
};

TEST_F(Win32Mailslot, LocalComputerNameIsTheTitleCasedComputerName) {
    const auto reported = QueryComputerName();
    ASSERT_TRUE(reported.has_value());
    ASSERT_FALSE(reported->empty());
    EXPECT_EQ(LocalName(), ChooseLocalComputerName(reported, nullptr));
    EXPECT_TRUE(EqualsNoCaseAscii(LocalName(), *reported));
}

TEST_F(Win32Mailslot, EndpointOwnsTheOneMivletMailslot) {
    CMailslotCopy copy(clock, LocalName());
    ASSERT_TRUE(copy.endpoint.IsOpen());

    // The mailslot is there for writers, and nobody else can create it.
    EXPECT_TRUE(Own(CreateFileA(kPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr)));
    EXPECT_FALSE(Own(CreateFileA(kPath, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)))
        << "a client that shares nothing is refused";
    EXPECT_FALSE(Own(CreateMailslotA(kPath, 0, 0, nullptr)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));

    CMailslotCopy second(clock, LocalName());
    EXPECT_FALSE(second.endpoint.IsOpen());
    EXPECT_EQ(second.endpoint.OpenResult(), EOpenResult::NameTaken);
    std::vector<CMessageRecord> records;
    EXPECT_FALSE(second.endpoint.Receive(records));
}

TEST_F(Win32Mailslot, MailslotIsGoneWithItsEndpoint) {
    { CMailslotCopy copy(clock, LocalName()); }
    EXPECT_FALSE(Own(CreateFileA(kPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr)));
    CMailslotCopy again(clock, LocalName());
    EXPECT_TRUE(again.endpoint.IsOpen());
}

TEST_F(Win32Mailslot, MessageToThisComputerComesBackThroughReceive) {
    CMailslotCopy copy(clock, LocalName());
    CMailslot& endpoint = copy.endpoint;
    ASSERT_TRUE(endpoint.IsOpen());
    EXPECT_FALSE(endpoint.HasMessages());

    std::string upper = LocalName();
    for (char& c : upper) c = AsciiToUpper(c);
    const std::string longText(1000, 'L');  // three datagrams, paced for real
    ASSERT_TRUE(endpoint.Send(LocalName().c_str(), "Kel", "Hi", true));
    ASSERT_TRUE(endpoint.Send(upper.c_str(), "Kel", "by another spelling", true));
    ASSERT_TRUE(endpoint.Send("", "Kel", longText.c_str(), true));
    EXPECT_TRUE(endpoint.HasMessages());

    const auto records = Drain(endpoint);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].computer, LocalName());
    EXPECT_EQ(records[0].user, "Kel");
    EXPECT_EQ(records[0].text, "Hi");
    EXPECT_EQ(records[0].broadcast, 0);
    EXPECT_NEAR(static_cast<double>(records[0].time), static_cast<double>(clock.Now()), 5.0);
    EXPECT_EQ(records[1].text, "by another spelling");
    EXPECT_EQ(records[2].text, longText);
    EXPECT_FALSE(endpoint.HasMessages());
}

// Where the in-memory backend copies the platform, the platform must agree.
TEST_F(Win32Mailslot, ReadsBehaveAsTheTestBackendAssumes) {
    auto server = Own(CreateMailslotA(kPath, 0, 0, nullptr));
    ASSERT_TRUE(server);
    DWORD next = 0, count = 0;
    ASSERT_TRUE(GetMailslotInfo(server.Get(), nullptr, &next, &count, nullptr));
    EXPECT_EQ(next, MAILSLOT_NO_MESSAGE);
    EXPECT_EQ(count, 0u);

    char buffer[8];
    DWORD read = 0;
    EXPECT_FALSE(ReadFile(server.Get(), buffer, sizeof buffer, &read, nullptr));  // never waits

    auto writer = Own(CreateFileA(kPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writer.Get(), "hello", 5, &written, nullptr));
    ASSERT_TRUE(GetMailslotInfo(server.Get(), nullptr, &next, &count, nullptr));
    EXPECT_EQ(next, 5u);
    EXPECT_EQ(count, 1u);
    ASSERT_TRUE(ReadFile(server.Get(), buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), "hello");
}

// Wine has no remote mailslots: the all-computers path does not open, and
// the carrier says that no try will do better. The UDP carrier stands in.
TEST_F(Win32Mailslot, AllComputersAreUnreachableUnderWine) {
    CMailslotCopy copy(clock, LocalName());
    EXPECT_EQ(copy.carrier.Send(CDatagramTarget::All(), "x"), ESendResult::Unreachable);
    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(copy.endpoint.Send("*", "Kel", "Hi", true));
    EXPECT_LT(::GetTickCount() - start, 1000u) << "no retries";
    EXPECT_EQ(copy.endpoint.SequenceCounter(), 0);
}

}  // namespace
