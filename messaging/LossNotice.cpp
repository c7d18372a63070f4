#include "messaging/LossNotice.h"

namespace {

// Thousands separated by commas, as the program's other texts write them.
std::string GroupThousands(std::uint64_t number) {
    std::string digits = std::to_string(number);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits;
}

}  // namespace

std::string FormatInetAddress(InetAddress address) {
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

std::optional<CMessageRecord> MakeLossNotice(const CDroppedFromSource& dropped, std::uint32_t time) {
    if (dropped.messages == 0) return std::nullopt;
    CMessageRecord notice;
    notice.notice = true;
    notice.time = time;
    const std::string from = " from " + FormatInetAddress(dropped.from);
    notice.text = dropped.messages == 1 ? "1 message" + from + " was not shown."
                                        : GroupThousands(dropped.messages) + " messages" + from + " were not shown.";
    return notice;
}
