#include "chatwindow/WindowLayout.h"

#include <algorithm>

namespace {

// Window coordinates are 16-bit on the system's side; anything stored
// beyond that is nonsense and must not overflow the sums below.
constexpr int kCoordinateLimit = 32767;

int Clamp(int value, int low, int high) { return std::max(low, std::min(value, high)); }

// Moves `rect` to x, y (when given) and gives it the width and height (when
// given); an extent never goes below 0.
void Place(std::optional<CLayoutRect>& rect, std::optional<int> x, std::optional<int> y, std::optional<int> width,
           std::optional<int> height) {
    if (!rect) return;
    const int w = std::max(0, width.value_or(rect->Width()));
    const int h = std::max(0, height.value_or(rect->Height()));
    rect->left = x.value_or(rect->left);
    rect->top = y.value_or(rect->top);
    rect->right = rect->left + w;
    rect->bottom = rect->top + h;
}

CLayoutRect Or0(const std::optional<CLayoutRect>& rect) { return rect.value_or(CLayoutRect{}); }

}  // namespace

CChatLayout LayOutChatWindow(const CChatLayout& current, int width, int height) {
    CChatLayout next = current;
    const int W = width;
    const int H = height;
    const int msgH = Or0(current.message).Height();
    const int listH = Or0(current.toList).Height();

    Place(next.options, W - Or0(next.options).Width() - 10, {}, {}, {});
    const int labelRight = Or0(next.nameLabel).right;
    Place(next.nameBox, labelRight + 4, {}, Or0(next.options).left - labelRight - 9, {});
    Place(next.send, W - Or0(next.send).Width() - 10, H - msgH - 11, {}, {});
    Place(next.message, {}, H - msgH - 11, Or0(next.send).left - Or0(next.message).left - 6, {});
    Place(next.messageLabel, {}, H - msgH - 7, {}, {});
    Place(next.toList, {}, H - msgH - listH - 17, W - Or0(next.toList).left - 10, {});
    Place(next.toLabel, {}, H - msgH - listH - 13, {}, {});
    Place(next.history, {}, {}, W - Or0(next.history).left - 10, Or0(next.toList).top - Or0(next.history).top - 7);
    Place(next.captionBar, {}, {}, {}, H - Or0(next.captionBar).top - 3);
    return next;
}

CLabelledControl WidenLabelToText(const CLabelledControl& current, int textWidth) {
    CLabelledControl next = current;
    if (textWidth <= current.label.Width()) return next;
    const int gap = std::max(0, current.control.left - current.label.right);
    next.label.right = current.label.left + textWidth;
    next.control.left = std::min(std::max(current.control.left, next.label.right + gap), current.control.right);
    return next;
}

std::vector<CLabelledControl> WidenLabelsInColumn(const std::vector<CLabelledControl>& rows,
                                                  const std::vector<int>& textWidths) {
    std::vector<CLabelledControl> next;
    int column = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        next.push_back(WidenLabelToText(rows[i], i < textWidths.size() ? textWidths[i] : 0));
        column = std::max(column, next.back().control.left);
    }
    for (CLabelledControl& row : next) row.control.left = std::min(column, row.control.right);
    return next;
}

CRestoredPlace PlanRestoredPlace(const CWindowPosition& stored, const CLayoutRect& current, int minimumWidth,
                                 int minimumHeight, const std::vector<CLayoutRect>& screens,
                                 const CLayoutRect& workArea) {
    const int x = Clamp(stored.x == -1 ? current.left : stored.x, -kCoordinateLimit, kCoordinateLimit);
    const int y = Clamp(stored.y == -1 ? current.top : stored.y, -kCoordinateLimit, kCoordinateLimit);
    const int width = Clamp(std::max(stored.width, minimumWidth), 0, kCoordinateLimit);
    const int height = Clamp(std::max(stored.height, minimumHeight), 0, kCoordinateLimit);

    const bool onScreen = screens.empty() || std::any_of(screens.begin(), screens.end(),
                                                         [&](const CLayoutRect& screen) {
                                                             return screen.Contains(x, y);
                                                         });
    CRestoredPlace place;
    place.rect = {x, y, x + width, y + height};
    if (onScreen) return place;

    // Centred; a window larger than the work area keeps its top-left corner
    // inside it, so that its title bar can be reached.
    int left = workArea.left + (workArea.Width() - width) / 2;
    int top = workArea.top + (workArea.Height() - height) / 2;
    left = std::max(workArea.left, left);
    top = std::max(workArea.top, top);
    place.rect = {left, top, left + width, top + height};
    place.centred = true;
    return place;
}
