#pragma once
// The chat window's shape as pure functions over rectangles in pixels:
// where the controls go for a client area of a given size, and where the
// window goes when it is restored from its stored place.

#include <optional>
#include <vector>

struct CLayoutRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const CLayoutRect& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
    bool operator!=(const CLayoutRect& other) const { return !(*this == other); }
};

// The controls that follow the window's size, in the dialog's client
// coordinates; a control that does not exist has no rectangle and is not
// moved.
struct CChatLayout {
    std::optional<CLayoutRect> nameLabel;
    std::optional<CLayoutRect> options;
    std::optional<CLayoutRect> history;
    std::optional<CLayoutRect> message;
    std::optional<CLayoutRect> send;
    std::optional<CLayoutRect> nameBox;
    std::optional<CLayoutRect> messageLabel;
    std::optional<CLayoutRect> toLabel;
    std::optional<CLayoutRect> toList;
    std::optional<CLayoutRect> captionBar;
};

// The controls for a client area `width` by `height`: a 10-pixel margin on
// the right, the message box 11 pixels above the bottom with Send! level
// with it, the To: list 6 pixels above the message box, the history down to
// 7 pixels above the To: list, the caption bar down to 3 pixels above the
// bottom. Widths and heights keep what the controls have unless they grow
// with the window; none becomes negative.
CChatLayout LayOutChatWindow(const CChatLayout& current, int width, int height);

// A label and the control it labels, on one row.
struct CLabelledControl {
    CLayoutRect label;
    CLayoutRect control;
};

// A label whose text needs more room than the template gives it (a font
// that runs wider than the one the template was made for): the label widens
// to its text and the control starts that much later, its right edge and the
// gap between the two kept. A text that fits changes nothing.
CLabelledControl WidenLabelToText(const CLabelledControl& current, int textWidth);
// Rows whose controls stand in one column ("To:" and "Go Mivlet:"): each
// label widened to its text as above, and every control then starts where
// the latest one does, so that the column stays one.
std::vector<CLabelledControl> WidenLabelsInColumn(const std::vector<CLabelledControl>& rows,
                                                  const std::vector<int>& textWidths);

// The chat window's place as stored in the settings ("dlg-*"); -1 in x or y
// keeps the position the window has.
struct CWindowPosition {
    int x = -1;
    int y = -1;
    int width = 468;
    int height = 413;
    bool maximised = false;

    bool operator==(const CWindowPosition& other) const {
        return x == other.x && y == other.y && width == other.width && height == other.height &&
               maximised == other.maximised;
    }
};

struct CRestoredPlace {
    CLayoutRect rect;  // the window's restored (normal) rectangle
    bool centred = false;
};

// Where the window goes at start: the stored position (or the current one
// for -1), at least the minimum track size. When the stored top-left corner
// lies on none of the screens it is centred in the work area instead. No
// screens known: nothing counts as off-screen.
CRestoredPlace PlanRestoredPlace(const CWindowPosition& stored, const CLayoutRect& current, int minimumWidth,
                                 int minimumHeight, const std::vector<CLayoutRect>& screens,
                                 const CLayoutRect& workArea);
