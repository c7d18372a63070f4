// The chat dialog's shape: the controls following the window's size, the
// smallest size, the size gripper, the minimised icon, and the place the
// window keeps between runs.

#include <windowsx.h>

#include <vector>

#include "chatwindow/ChatDlg.h"
#include "chatwindow/WindowLayout.h"
#include "util/win32/Handles.h"

namespace {

CLayoutRect ToLayout(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }
RECT ToRect(const CLayoutRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// The control's window rectangle in its parent's client coordinates.
std::optional<CLayoutRect> ControlRect(HWND control) {
    if (!control || !::IsWindow(control)) return std::nullopt;
    const HWND parent = ::GetParent(control);
    if (!parent) return std::nullopt;
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return ToLayout(rect);
}

// Moves without repainting; the dialog repaints once all have moved. A
// drop-down list's window rectangle is its selection field, but its window
// height is that of the open list, which must not shrink to the field.
void MoveControl(HWND control, const std::optional<CLayoutRect>& before, const std::optional<CLayoutRect>& after) {
    if (!control || !after || (before && *before == *after)) return;
    int height = after->Height();
    wchar_t className[16] = {};
    ::GetClassNameW(control, className, 16);
    if (::lstrcmpiW(className, L"ComboBox") == 0) {
        RECT dropped{};
        if (::SendMessageW(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)))
            height = std::max<int>(height, dropped.bottom - dropped.top);
    }
    ::MoveWindow(control, after->left, after->top, after->Width(), height, FALSE);
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM screens) {
    reinterpret_cast<std::vector<CLayoutRect>*>(screens)->push_back(ToLayout(*rect));
    return TRUE;
}

std::vector<CLayoutRect> Screens() {
    std::vector<CLayoutRect> screens;
    ::EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&screens));
    return screens;
}

CLayoutRect WorkArea() {
    RECT work{};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return ToLayout(work);
}

// The width of the label's own text in its own font, "&" marks taken out.
int TextWidth(HWND label) {
    wchar_t text[128] = {};
    ::GetWindowTextW(label, text, 128);
    const CWindowDc dc(label);
    const CGdiSelection font(dc.Get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT extent{};
    ::DrawTextW(dc.Get(), text, -1, &extent, DT_CALCRECT | DT_SINGLELINE);
    return extent.right - extent.left;
}

}  // namespace

// Each label on the row of its control gets the room its text needs; the
// message box and the To: list keep one column.
void CChatDlg::FitLabelsToText() {
    const std::vector<std::vector<std::pair<const CDialogItem*, const CDialogItem*>>> columns = {
        {{&m_messageLabel, &m_messageBox}, {&m_toLabel, &m_toList}}, {{&m_nameLabel, &m_nameBox}}};
    for (const auto& column : columns) {
        std::vector<CLabelledControl> rows;
        std::vector<int> widths;
        for (const auto& [label, control] : column) {
            const std::optional<CLayoutRect> labelRect = ControlRect(label->Hwnd());
            const std::optional<CLayoutRect> controlRect = ControlRect(control->Hwnd());
            if (!labelRect || !controlRect) return;
            rows.push_back({*labelRect, *controlRect});
            widths.push_back(TextWidth(label->Hwnd()));
        }
        const std::vector<CLabelledControl> fitted = WidenLabelsInColumn(rows, widths);
        for (std::size_t i = 0; i < column.size(); ++i) {
            MoveControl(column[i].first->Hwnd(), rows[i].label, fitted[i].label);
            MoveControl(column[i].second->Hwnd(), rows[i].control, fitted[i].control);
        }
    }
}

std::optional<LRESULT> CChatDlg::OnSize(WPARAM type) {
    if (type == SIZE_MINIMIZED || type == SIZE_MAXSHOW || type == SIZE_MAXHIDE) return 0;
    if (::IsWindowVisible(Hwnd())) m_maximised = type == SIZE_MAXIMIZED;
    LayOutControls();
    return std::nullopt;
}

void CChatDlg::LayOutControls() {
    if (!Exists() || !m_optionsButton.Exists() || !m_nameBox.Exists()) return;
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    struct CPlaced {
        HWND control;
        std::optional<CLayoutRect> CChatLayout::*rect;
    };
    // In the order in which the controls are redrawn.
    const CPlaced placed[] = {
        {m_nameLabel.Hwnd(), &CChatLayout::nameLabel},       {m_optionsButton.Hwnd(), &CChatLayout::options},
        {m_history.Hwnd(), &CChatLayout::history},           {m_messageBox.Hwnd(), &CChatLayout::message},
        {m_sendButton.Hwnd(), &CChatLayout::send},           {m_nameBox.Hwnd(), &CChatLayout::nameBox},
        {m_messageLabel.Hwnd(), &CChatLayout::messageLabel}, {m_toLabel.Hwnd(), &CChatLayout::toLabel},
        {m_toList.Hwnd(), &CChatLayout::toList},             {m_captionBar.Hwnd(), &CChatLayout::captionBar},
    };
    CChatLayout before;
    for (const CPlaced& control : placed) before.*control.rect = ControlRect(control.control);
    const CChatLayout after = LayOutChatWindow(before, client.right - client.left, client.bottom - client.top);
    for (const CPlaced& control : placed) MoveControl(control.control, before.*control.rect, after.*control.rect);

    if (!m_ready || !::IsWindowVisible(Hwnd())) {
        // Nothing is painted before start-up has finished or while hidden.
        ::ValidateRect(Hwnd(), nullptr);
        return;
    }
    ::RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

LRESULT CChatDlg::OnGetMinMaxInfo(MINMAXINFO& info) const {
    if (m_minTrackWidth > 0 && m_minTrackHeight > 0) info.ptMinTrackSize = {m_minTrackWidth, m_minTrackHeight};
    return 0;
}

// The drawn gripper, and the window's corner beyond it, resize the window.
LRESULT CChatDlg::OnNcHitTest(LPARAM point) const {
    const LRESULT hit = ::DefWindowProcW(Hwnd(), WM_NCHITTEST, 0, point);
    if (hit != HTCLIENT || ::IsZoomed(Hwnd())) return hit;
    RECT window{};
    ::GetWindowRect(Hwnd(), &window);
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    POINT corner{client.right, client.bottom};
    ::ClientToScreen(Hwnd(), &corner);
    const RECT gripper{corner.x - ::GetSystemMetrics(SM_CXHSCROLL), corner.y - ::GetSystemMetrics(SM_CYVSCROLL),
                       window.right, window.bottom};
    return ::PtInRect(&gripper, POINT{GET_X_LPARAM(point), GET_Y_LPARAM(point)}) ? HTBOTTOMRIGHT : hit;
}

LRESULT CChatDlg::OnPaint() {
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    if (::IsIconic(Hwnd())) {
        const CPaintDc paint(Hwnd());
        ::SendMessageW(Hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.Get()), 0);
        ::DrawIcon(paint.Get(), (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2,
                   (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2, m_smallIcon);
        return 0;
    }
    // The children paint themselves; the dialog only validates, then draws
    // the gripper over the corner.
    { const CPaintDc validated(Hwnd()); }
    if (::IsZoomed(Hwnd())) return 0;
    RECT gripper{client.right - ::GetSystemMetrics(SM_CXHSCROLL), client.bottom - ::GetSystemMetrics(SM_CYVSCROLL),
                 client.right, client.bottom};
    const CWindowDc dc(Hwnd());
    ::DrawFrameControl(dc.Get(), &gripper, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    return 0;
}

// The restored rectangle is valid also while the window is maximised,
// minimised or hidden.
void CChatDlg::SavePosition() {
    if (!Exists()) return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!::GetWindowPlacement(Hwnd(), &placement)) return;
    const RECT& normal = placement.rcNormalPosition;
    m_settings.SetWindowPosition({normal.left, normal.top, normal.right - normal.left, normal.bottom - normal.top,
                                  placement.showCmd == SW_SHOWMAXIMIZED || m_maximised});
}

void CChatDlg::RestorePosition() {
    const HWND focus = ::GetFocus();
    if (!Exists() || m_minTrackWidth == 0 || m_minTrackHeight == 0) return;
    RECT window{};
    ::GetWindowRect(Hwnd(), &window);
    const CWindowPosition stored = m_settings.WindowPosition();
    m_maximised = stored.maximised;
    const CRestoredPlace place =
        PlanRestoredPlace(stored, ToLayout(window), m_minTrackWidth, m_minTrackHeight, Screens(), WorkArea());

    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    ::GetWindowPlacement(Hwnd(), &placement);
    const bool visible = ::IsWindowVisible(Hwnd()) != FALSE;
    if (!visible) placement.showCmd = SW_HIDE;
    placement.rcNormalPosition = ToRect(place.rect);
    ::SetWindowPlacement(Hwnd(), &placement);
    if (visible) ::ShowWindow(Hwnd(), m_maximised ? SW_SHOWMAXIMIZED : SW_RESTORE);
    if (focus && ::IsWindow(focus)) ::SetFocus(focus);
}
