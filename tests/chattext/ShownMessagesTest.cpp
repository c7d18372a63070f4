#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chattext/ShownMessages.h"

namespace {

CMessageRecord WithLength(std::int32_t displayLength, std::string text = {}) {
    CMessageRecord record;
    record.text = std::move(text);
    record.displayLength = displayLength;
    return record;
}

// Appends like the history does: add, then drop the oldest while needed.
std::vector<std::int32_t> AppendAndTrim(CShownMessages& shown, const std::vector<std::int32_t>& lengths,
                                        std::int64_t limit) {
    for (std::int32_t length : lengths) {
        shown.Append(WithLength(length));
        while (shown.MustTrim(limit)) shown.DropOldest();
    }
    std::vector<std::int32_t> kept;
    for (std::size_t i = 0; i < shown.Size(); ++i) kept.push_back(shown[i].record.displayLength);
    return kept;
}

TEST(ShownMessages, ComposedLineEndsInCarriageReturnAndLineFeed) {
    EXPECT_EQ(ComposeHistoryLine("guest 9:05> ", "Hi"), "guest 9:05> Hi\r\n");
    EXPECT_EQ(ComposeHistoryLine("", "a\r\nb"), "a\r\nb\r\n");
    EXPECT_EQ(ComposeHistoryLine("", "").size(), 2u);
}

TEST(ShownMessages, TrimsWholeMessagesFromTheFrontUntilTheSumFits) {
    struct CCase {
        const char* what;
        std::vector<std::int32_t> lengths;
        std::int64_t limit;
        std::vector<std::int32_t> kept;
    };
    const CCase cases[] = {
        {"under the limit", {10, 20, 30}, 100, {10, 20, 30}},
        {"equal to the limit stays", {40, 30, 30}, 100, {40, 30, 30}},
        {"one past drops the oldest", {40, 30, 31}, 100, {30, 31}},
        {"drops as many as needed", {10, 10, 10, 95}, 100, {95}},
        {"the 65,536 limit, equality kept", {32768, 32768}, 65536, {32768, 32768}},
        {"the 65,536 limit, one more", {32768, 32768, 1}, 65536, {32768, 1}},
        {"a message longer than the limit stays alone", {10, 150}, 100, {150}},
        {"and goes with the next one", {10, 150, 5}, 100, {5}},
    };
    for (const CCase& c : cases) {
        CShownMessages shown;
        EXPECT_EQ(AppendAndTrim(shown, c.lengths, c.limit), c.kept) << c.what;
        std::int64_t sum = 0;
        for (std::int32_t length : c.kept) sum += length;
        EXPECT_EQ(shown.TotalLength(), sum) << c.what;
    }
}

TEST(ShownMessages, NewDisplayLengthsKeepTheSumAndTheRecords) {
    CShownMessages shown;
    shown.Append(WithLength(10, "first"));
    shown.Append(WithLength(20, "second"));
    shown.SetDisplayLength(0, 15);
    shown.SetDisplayLength(1, 5);
    EXPECT_EQ(shown.TotalLength(), 20);
    EXPECT_EQ(shown.Oldest().record.text, "first");
    EXPECT_EQ(shown.Newest().record.displayLength, 5);

    shown.Clear();
    EXPECT_TRUE(shown.Empty());
    EXPECT_EQ(shown.TotalLength(), 0);
    EXPECT_FALSE(shown.MustTrim(0));
}

// Whose message a link or a selection is in: the spans the control took.
TEST(ShownMessages, APositionFindsTheMessageWhoseLineHoldsIt) {
    CShownMessages shown;
    shown.Append(WithLength(10, "first"));
    shown.Append(WithLength(20, "second"));
    shown.SetSpan(0, 9);
    shown.SetSpan(1, 19);
    const struct {
        std::int64_t position;
        const char* text;  // null: none
    } cases[] = {{-1, nullptr}, {0, "first"}, {8, "first"}, {9, "second"}, {27, "second"}, {28, nullptr}};
    for (const auto& c : cases) {
        const CShownMessage* at = shown.At(c.position);
        if (!c.text)
            EXPECT_EQ(at, nullptr) << c.position;
        else
            EXPECT_EQ(at ? at->record.text : "(none)", c.text) << c.position;
    }
}

}  // namespace
