// The chat window's shape without a window: the move table over a range of
// client sizes, the restored place with its off-screen rule, and what the
// side caption bar draws.

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <vector>

#include "chatwindow/CaptionBarDrawing.h"
#include "chatwindow/WindowLayout.h"

namespace {

// Dialog units of the template in pixels, as the dialog manager maps them
// for a font with base units 6 by 13.
CLayoutRect FromDialogUnits(int x, int y, int w, int h) {
    return {MulDivRounded(x, 6, 4), MulDivRounded(y, 13, 8), MulDivRounded(x + w, 6, 4), MulDivRounded(y + h, 13, 8)};
}

CChatLayout TemplateLayout() {
    CChatLayout layout;
    layout.messageLabel = FromDialogUnits(22, 180, 27, 8);
    layout.message = FromDialogUnits(53, 177, 156, 28);
    layout.send = FromDialogUnits(213, 177, 50, 14);
    layout.nameLabel = FromDialogUnits(22, 6, 38, 8);
    layout.nameBox = FromDialogUnits(65, 4, 144, 12);
    layout.options = FromDialogUnits(212, 3, 51, 14);
    layout.history = FromDialogUnits(22, 22, 241, 134);
    layout.toLabel = FromDialogUnits(22, 162, 12, 8);
    layout.toList = FromDialogUnits(53, 160, 210, 12);  // the selection field of the drop-down list
    layout.captionBar = CLayoutRect{4, 4, 24, 4 + 344 - 7};
    return layout;
}
const CLayoutRect kTemplateClient = FromDialogUnits(0, 0, 270, 212);

std::vector<std::pair<const char*, CLayoutRect>> Named(const CChatLayout& l) {
    return {{"name label", *l.nameLabel}, {"options", *l.options},   {"history", *l.history},
            {"message", *l.message},      {"send", *l.send},         {"name box", *l.nameBox},
            {"message label", *l.messageLabel}, {"to label", *l.toLabel}, {"to list", *l.toList},
            {"caption bar", *l.captionBar}};
}

bool Overlap(const CLayoutRect& a, const CLayoutRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(ChatWindowLayout, GrowsTheHistoryAndMessageBoxAndKeepsTheDistancesForEverySize) {
    const CChatLayout start = TemplateLayout();
    const int minW = kTemplateClient.Width(), minH = kTemplateClient.Height();
    const CChatLayout atMinimum = LayOutChatWindow(start, minW, minH);
    for (int W : {minW, minW + 1, minW + 37, 640, 1000, 1913}) {
        for (int H : {minH, minH + 1, minH + 50, 480, 767, 1200}) {
            SCOPED_TRACE(std::to_string(W) + " x " + std::to_string(H));
            // Each size is laid out from the one before, as a drag does.
            const CChatLayout l = LayOutChatWindow(LayOutChatWindow(start, 1500, 900), W, H);

            for (const auto& [name, rect] : {std::pair{"options", *l.options}, {"send", *l.send},
                                              {"to list", *l.toList}, {"history", *l.history}})
                EXPECT_EQ(rect.right, W - 10) << name;
            EXPECT_EQ(l.message->bottom, H - 11);
            EXPECT_EQ(l.send->top, l.message->top);
            EXPECT_EQ(l.message->right + 6, l.send->left);
            EXPECT_EQ(l.toList->bottom + 6, l.message->top);
            EXPECT_EQ(l.history->bottom + 7, l.toList->top);
            EXPECT_EQ(l.messageLabel->top, l.message->top + 4);
            EXPECT_EQ(l.toLabel->top, l.toList->top + 4);
            EXPECT_EQ(l.nameBox->left, l.nameLabel->right + 4);
            EXPECT_EQ(l.nameBox->right + 5, l.options->left);
            EXPECT_EQ(l.captionBar->bottom, H - 3);

            // What grows, grows with the window; the rest keeps its size.
            EXPECT_EQ(l.history->Width() - atMinimum.history->Width(), W - minW);
            EXPECT_EQ(l.history->Height() - atMinimum.history->Height(), H - minH);
            EXPECT_EQ(l.message->Width() - atMinimum.message->Width(), W - minW);
            EXPECT_EQ(l.toList->Width() - atMinimum.toList->Width(), W - minW);
            EXPECT_EQ(l.nameBox->Width() - atMinimum.nameBox->Width(), W - minW);
            for (const auto& [name, now, before] :
                 {std::tuple{"options", *l.options, *start.options}, {"send", *l.send, *start.send},
                  {"message label", *l.messageLabel, *start.messageLabel}, {"to label", *l.toLabel, *start.toLabel}}) {
                EXPECT_EQ(now.Width(), before.Width()) << name;
                EXPECT_EQ(now.Height(), before.Height()) << name;
            }
            EXPECT_EQ(l.message->Height(), start.message->Height());
            EXPECT_EQ(l.toList->Height(), start.toList->Height());
            EXPECT_EQ(l.captionBar->left, 4);
            EXPECT_EQ(l.captionBar->Width(), 20);

            // Nothing overlaps, nothing leaves the client area, nothing
            // shrinks below where it was at the smallest size.
            const auto named = Named(l);
            for (std::size_t i = 0; i < named.size(); ++i) {
                const CLayoutRect& rect = named[i].second;
                EXPECT_GT(rect.Width(), 0) << named[i].first;
                EXPECT_GT(rect.Height(), 0) << named[i].first;
                EXPECT_GE(rect.left, 0) << named[i].first;
                EXPECT_GE(rect.top, 0) << named[i].first;
                EXPECT_LE(rect.right, W) << named[i].first;
                EXPECT_LE(rect.bottom, H) << named[i].first;
                for (std::size_t j = i + 1; j < named.size(); ++j)
                    EXPECT_FALSE(Overlap(rect, named[j].second)) << named[i].first << " and " << named[j].first;
            }
            const auto smallest = Named(atMinimum);
            for (std::size_t i = 0; i < named.size(); ++i) {
                EXPECT_GE(named[i].second.Width(), smallest[i].second.Width()) << named[i].first;
                EXPECT_GE(named[i].second.Height(), smallest[i].second.Height()) << named[i].first;
            }
        }
    }
}

// The template's own size leaves everything where the template has it, but
// for the margins the move table sets.
TEST(ChatWindowLayout, AtTheTemplateSizeTheLabelsStayBesideTheirControls) {
    const CChatLayout l = LayOutChatWindow(TemplateLayout(), kTemplateClient.Width(), kTemplateClient.Height());
    EXPECT_EQ(l.messageLabel->left, TemplateLayout().messageLabel->left);
    EXPECT_EQ(l.toLabel->left, TemplateLayout().toLabel->left);
    EXPECT_LT(l.messageLabel->right, l.message->left);
    EXPECT_LT(l.toLabel->right, l.toList->left);
    EXPECT_EQ(l.history->left, TemplateLayout().history->left);
    EXPECT_EQ(l.history->top, TemplateLayout().history->top);
}

// Smaller than any window can be (the minimum track size forbids it), the
// table still gives no negative extents.
TEST(ChatWindowLayout, NoExtentTurnsNegativeInATinyClientArea) {
    const CChatLayout l = LayOutChatWindow(TemplateLayout(), 30, 20);
    for (const auto& [name, rect] : Named(l)) {
        EXPECT_GE(rect.Width(), 0) << name;
        EXPECT_GE(rect.Height(), 0) << name;
    }
}

TEST(ChatWindowLayout, MissingControlsAreLeftOutAndTheRestIsStillPlaced) {
    CChatLayout layout = TemplateLayout();
    layout.captionBar.reset();
    layout.toLabel.reset();
    const CChatLayout l = LayOutChatWindow(layout, 700, 500);
    EXPECT_FALSE(l.captionBar);
    EXPECT_FALSE(l.toLabel);
    EXPECT_EQ(l.history->right, 690);
    EXPECT_EQ(l.message->bottom, 489);
}

// "&Go Mivlet:" in a font wider than the template's: the label takes the
// room its text needs, the message box starts later by as much.
TEST(ChatWindowLayout, ALabelWhoseTextDoesNotFitWidensAndPushesItsControl) {
    const CLabelledControl messageRow{*TemplateLayout().messageLabel, *TemplateLayout().message};
    const int width = messageRow.label.Width();
    const struct {
        int text;
        int labelRight, controlLeft;
    } cases[] = {
        {width - 5, messageRow.label.right, messageRow.control.left},
        {width, messageRow.label.right, messageRow.control.left},
        {width + 7, messageRow.label.right + 7, messageRow.control.left + 7},
        {500, messageRow.label.left + 500, messageRow.control.right},  // never past its own right edge
    };
    for (const auto& c : cases) {
        const CLabelledControl row = WidenLabelToText(messageRow, c.text);
        EXPECT_EQ(row.label.left, messageRow.label.left) << c.text;
        EXPECT_EQ(row.label.right, c.labelRight) << c.text;
        EXPECT_EQ(row.control.left, c.controlLeft) << c.text;
        EXPECT_EQ(row.control.right, messageRow.control.right) << c.text;
        EXPECT_EQ(row.label.top, messageRow.label.top);
        EXPECT_EQ(row.control.bottom, messageRow.control.bottom);
    }
}

// The message box and the To: list stand in one column whichever label
// needs the room.
TEST(ChatWindowLayout, ControlsOfOneColumnStartTogetherAfterTheWidestLabel) {
    const CLabelledControl messageRow{*TemplateLayout().messageLabel, *TemplateLayout().message};
    const CLabelledControl toRow{*TemplateLayout().toLabel, *TemplateLayout().toList};
    ASSERT_EQ(messageRow.control.left, toRow.control.left);
    const int left = messageRow.control.left;
    const int messageWidth = messageRow.label.Width(), toWidth = toRow.label.Width();
    const struct {
        int messageText, toText;
        int left;
    } cases[] = {
        {messageWidth, toWidth, left},
        {messageWidth + 7, toWidth, left + 7},   // "Go Mivlet:" pushes both
        {messageWidth, toWidth + 30, left + 30},  // and so does "To:"
        {messageWidth + 3, toWidth + 40, left + 40},
        {900, toWidth, messageRow.control.right},  // each never past its own right edge
    };
    for (const auto& c : cases) {
        const std::vector<CLabelledControl> rows = WidenLabelsInColumn({messageRow, toRow}, {c.messageText, c.toText});
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].control.left, std::min(c.left, messageRow.control.right)) << c.messageText << " " << c.toText;
        EXPECT_EQ(rows[1].control.left, std::min(c.left, toRow.control.right)) << c.messageText << " " << c.toText;
        EXPECT_EQ(rows[0].control.right, messageRow.control.right);
        EXPECT_EQ(rows[1].control.right, toRow.control.right);
        EXPECT_LT(rows[1].label.right, rows[1].control.left);
    }
}

// The bar's pixel measures at 100 %, 125 %, 150 % and 200 %, rounded as
// the system's MulDiv rounds; an unknown scale is taken as 100 %.
TEST(CaptionBarMetrics, ScaleFromTheirValuesAt96Dpi) {
    const struct {
        int dpi;
        CCaptionBarMetrics expected;
    } cases[] = {
        {96, {4, 4, 20, 3, 12, 2, 4, 18, 49}},  {120, {5, 5, 25, 4, 15, 3, 5, 23, 61}},
        {144, {6, 6, 30, 5, 18, 3, 6, 27, 74}}, {192, {8, 8, 40, 6, 24, 4, 8, 36, 98}},
        {0, {4, 4, 20, 3, 12, 2, 4, 18, 49}},
    };
    for (const auto& c : cases) {
        const CCaptionBarMetrics m = CaptionBarMetrics(c.dpi);
        const CCaptionBarMetrics& e = c.expected;
        EXPECT_EQ(std::tie(m.left, m.top, m.width, m.bottomMargin, m.fontHeight),
                  std::tie(e.left, e.top, e.width, e.bottomMargin, e.fontHeight))
            << c.dpi;
        EXPECT_EQ(std::tie(m.buttonLeft, m.buttonTop, m.buttonRight, m.buttonBottom),
                  std::tie(e.buttonLeft, e.buttonTop, e.buttonRight, e.buttonBottom))
            << c.dpi;
    }
}

TEST(RestoredPlace, UsesTheStoredPlaceOrCentresAPositionOffEveryScreen) {
    const std::vector<CLayoutRect> primary = {{0, 0, 1024, 768}};
    // A second screen to the left of the primary one.
    const std::vector<CLayoutRect> twoScreens = {{0, 0, 1024, 768}, {-1280, 0, 0, 1024}};
    const CLayoutRect work = {0, 0, 1024, 738};
    const CLayoutRect current = {312, 221, 712, 547};  // the template's size, centred
    const int minW = 400, minH = 326;
    struct CCase {
        const char* what;
        CWindowPosition stored;
        std::vector<CLayoutRect> screens;
        CLayoutRect expected;
        bool centred;
    };
    const std::vector<CCase> cases = {
        {"first start: where it is, with the default size", {}, primary, {312, 221, 780, 634}, false},
        {"stored place", {100, 50, 500, 420, false}, primary, {100, 50, 600, 470}, false},
        {"x kept, y stored", {-1, 60, 500, 420, false}, primary, {312, 60, 812, 480}, false},
        {"too narrow: the template's width", {100, 50, 300, 200, false}, primary, {100, 50, 500, 376}, false},
        {"left of the screen", {-600, 50, 500, 420, false}, primary, {262, 159, 762, 579}, true},
        {"above the screen", {100, -1000, 500, 420, false}, primary, {262, 159, 762, 579}, true},
        {"beyond the right edge", {1024, 50, 500, 420, false}, primary, {262, 159, 762, 579}, true},
        {"beyond the bottom edge", {100, 768, 500, 420, false}, primary, {262, 159, 762, 579}, true},
        {"y is -2, not the keep mark", {100, -2, 500, 420, false}, primary, {262, 159, 762, 579}, true},
        {"on the second screen", {-800, 50, 500, 420, false}, twoScreens, {-800, 50, -300, 470}, false},
        {"no screen known", {-5000, -5000, 500, 420, false}, {}, {-5000, -5000, -4500, -4580}, false},
        {"larger than the work area", {5000, 5000, 1500, 900, false}, primary, {0, 0, 1500, 900}, true},
    };
    for (const CCase& c : cases) {
        const CRestoredPlace place = PlanRestoredPlace(c.stored, current, minW, minH, c.screens, work);
        EXPECT_EQ(place.rect, c.expected) << c.what << ": " << place.rect.left << "," << place.rect.top << ","
                                          << place.rect.right << "," << place.rect.bottom;
        EXPECT_EQ(place.centred, c.centred) << c.what;
    }
}

// Values from the registry are anything at all; none may overflow.
TEST(RestoredPlace, ExtremeStoredValuesStayWithinWindowCoordinates) {
    const std::vector<CLayoutRect> primary = {{0, 0, 1024, 768}};
    for (const CWindowPosition stored :
         {CWindowPosition{INT_MAX, INT_MAX, INT_MAX, INT_MAX, true}, CWindowPosition{INT_MIN, INT_MIN, INT_MIN, INT_MIN, false},
          CWindowPosition{10, 10, INT_MAX, INT_MAX, false}}) {
        const CRestoredPlace place = PlanRestoredPlace(stored, {0, 0, 400, 326}, 400, 326, primary, {0, 0, 1024, 738});
        EXPECT_LE(place.rect.right, 65534);
        EXPECT_GE(place.rect.Width(), 400);
        EXPECT_GE(place.rect.Height(), 326);
    }
}

TEST(CaptionBarDrawing, StripsMnemonicMarks) {
    const struct {
        const char* caption;
        const char* text;
        int mnemonic;
    } cases[] = {
        {"&Help", "Help", 0},
        {"He&lp", "Help", 2},
        {"Salt && Pepper", "Salt & Pepper", -1},
        {"A&&B", "A&B", -1},
        {"&a&b", "ab", 1},  // the last mark wins
        {"ab&", "ab ", 2},
        {"&&&x", "&x", 1},
        {"", "", -1},
        {"&", " ", 0},
    };
    for (const auto& c : cases) {
        const CStrippedCaption stripped = StripMnemonic(c.caption);
        EXPECT_EQ(stripped.text, c.text) << c.caption;
        EXPECT_EQ(stripped.mnemonic, c.mnemonic) << c.caption;
    }
}

TEST(CaptionBarDrawing, RoundsAsTheSystemsMulDiv) {
    const struct {
        int a, b, c, result;
    } cases[] = {
        {5, 1, 2, 3}, {-5, 1, 2, -3}, {7, 1, 3, 2}, {8, 1, 3, 3}, {5, -1, -2, 3},
        {185, 118, 236, 93}, {400, 236, 236, 400}, {7, 3, 0, -1}, {INT_MAX, 2, 1, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(MulDivRounded(c.a, c.b, c.c), c.result) << c.a << "*" << c.b << "/" << c.c;
}

TEST(CaptionBarDrawing, GradientRunsFromTheTopColourTowardsBlack) {
    constexpr ColorRef kTop = 0x00B900B9;  // red 185, blue 185
    EXPECT_EQ(GradientColor(kTop, 0, 0, 236), kTop);
    EXPECT_EQ(GradientColor(kTop, 0, 118, 236), 0x005D005Du);  // 185 / 2 rounded up
    EXPECT_EQ(GradientColor(kTop, 0, 235, 236), 0x00010001u);
    // Each channel on its own: red to blue.
    EXPECT_EQ(GradientColor(0x000000FF, 0x00FF0000, 118, 236), 0x00800080u);
}

TEST(CaptionBarDrawing, BandsCoverTheUpdatedRowsOnceInOrder) {
    for (int height : {1, 100, 236, 337, 1200}) {
        for (const auto& [updateTop, updateBottom] : {std::pair{4, 4 + height}, {4 + height / 3, 5 + height / 3}, {4 + height / 2, 4 + height}}) {
            SCOPED_TRACE(std::to_string(height) + " rows, update " + std::to_string(updateTop) + "-" +
                         std::to_string(updateBottom));
            const auto bands = GradientBands(4, height, updateTop, updateBottom, 236);
            ASSERT_FALSE(bands.empty());
            EXPECT_LE(bands.front().top, updateTop);
            EXPECT_GE(bands.back().bottom, std::min(updateBottom, 4 + height));
            for (std::size_t i = 0; i < bands.size(); ++i) {
                EXPECT_LT(bands[i].top, bands[i].bottom);
                EXPECT_GT(bands[i].bottom, updateTop);
                EXPECT_LT(bands[i].top, updateBottom);
                if (i > 0) {
                    EXPECT_EQ(bands[i].top, bands[i - 1].bottom);
                    EXPECT_GT(bands[i].step, bands[i - 1].step);
                }
            }
        }
    }
    EXPECT_EQ(GradientBands(0, 236, 0, 236, 236).size(), 236u);
    EXPECT_EQ(GradientBands(0, 100, 0, 100, 236).size(), 100u);  // fewer rows than steps: no empty band
}

}  // namespace
