#include "messaging/ReceiveTick.h"

#include "messaging/CommandText.h"
#include "util/AsciiText.h"

CLastSender FindLastSender(const std::vector<CMessageRecord>& records, const std::string& localComputer) {
    CLastSender last;
    for (auto r = records.rbegin(); r != records.rend(); ++r) {
        // Only a message that is shown moves the selection: an empty text
        // from a made-up computer is shown nowhere.
        if (IsCommandRecord(*r) || r->text.empty() || EqualsNoCaseAscii(r->computer, localComputer)) continue;
        last.found = true;
        last.sender = r->broadcast ? std::string() : r->computer;
        break;
    }
    return last;
}
