#include "chatwindow/CaptionBar.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "util/win32/WideText.h"

namespace {

constexpr wchar_t kClassName[] = L"MivletCaptionBar";

bool RegisterBarClass(WNDPROC procedure) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(instance, kClassName, &existing)) return true;
    WNDCLASSEXW bar{};
    bar.cbSize = sizeof bar;
    // The gradient spans the whole bar: any change of size repaints it all.
    bar.style = CS_HREDRAW | CS_VREDRAW;
    bar.lpfnWndProc = procedure;
    bar.hInstance = instance;
    bar.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    bar.lpszClassName = kClassName;
    return ::RegisterClassExW(&bar) != 0;
}

void FillSolid(HDC dc, int x, int y, int width, int height, COLORREF colour) {
    const RECT rect{x, y, x + width, y + height};
    const COLORREF old = ::SetBkColor(dc, colour);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

bool InRect(const RECT& rect, POINT point) { return ::PtInRect(&rect, point) != FALSE; }

}  // namespace

CCaptionBar::CCaptionBar() {
    ReadSystemColours();
    MakePalette();
    SetDpi(kDefaultDpi);
}

void CCaptionBar::SetDpi(int dpi) {
    m_metrics = CaptionBarMetrics(dpi);
    m_captionFont.Reset(::CreateFontW(-m_metrics.fontHeight, 0, 900, 900, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0,
                                      0, 0, 0, L"Arial"));
    m_button = {m_metrics.buttonLeft, m_metrics.buttonTop, m_metrics.buttonRight, m_metrics.buttonBottom};
    if (!Exists()) return;
    if (m_buttonWindow)
        ::MoveWindow(m_buttonWindow, m_button.left, m_button.top, m_button.right - m_button.left,
                     m_button.bottom - m_button.top, FALSE);
    m_image.Reset();
    Render();
    ::InvalidateRect(m_window, nullptr, FALSE);
}

CCaptionBar::~CCaptionBar() {
    if (!Exists()) return;
    ::SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
    ::DestroyWindow(m_window);
}

bool CCaptionBar::Create(HWND parent, int id, DWORD style, const RECT& rect) {
    if (!RegisterBarClass(&WindowProc)) return false;
    // A control parent, so that the dialog's Tab walks into the button;
    // the button paints itself, the bar never over it.
    ::CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"", style | WS_CHILD | WS_CLIPCHILDREN, rect.left, rect.top,
                      rect.right - rect.left,
                      rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                      ::GetModuleHandleW(nullptr), this);
    return Exists();
}

LRESULT CALLBACK CCaptionBar::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* bar = static_cast<CCaptionBar*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bar));
        if (bar) bar->m_window = window;
    }
    auto* bar = reinterpret_cast<CCaptionBar*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!bar) return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        bar->m_window = nullptr;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return bar->OnMessage(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's frames.
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CCaptionBar::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1;  // the paint covers everything
    case WM_MOUSEMOVE: OnMouseMove(wParam, lParam); return 0;
    case WM_LBUTTONDOWN: OnLeftButtonDown(wParam, lParam); return 0;
    case WM_LBUTTONUP: m_leftButtonUp = (wParam & MK_LBUTTON) == 0; return 0;
    case WM_SIZE: {
        const LRESULT result = ::DefWindowProcW(m_window, message, wParam, lParam);
        Render();
        return result;
    }
    case WM_SETFOCUS: {
        const LRESULT result = ::DefWindowProcW(m_window, message, wParam, lParam);
        const HWND previous = reinterpret_cast<HWND>(wParam);
        if (previous && ::IsWindow(previous)) ::SetFocus(previous);
        return result;
    }
    case WM_DISPLAYCHANGE: OnDisplayChange(); return ::DefWindowProcW(m_window, message, wParam, lParam);
    case WM_DRAWITEM: OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) ShowButtonMenu();
        return 0;
    default: return ::DefWindowProcW(m_window, message, wParam, lParam);
    }
}

void CCaptionBar::SetButton(const std::string& caption, int menuId, int submenu) {
    if (!Exists()) return;
    m_buttonCaption = caption;
    m_menuId = menuId;
    m_submenu = submenu;
    CreateButtonWindow();
    Render();
    ::InvalidateRect(m_window, nullptr, TRUE);
}

void CCaptionBar::SetCaption(const std::string& text) {
    m_caption = text;
    if (!Exists()) return;
    Render();
    ::InvalidateRect(m_window, nullptr, FALSE);
}

// The button window takes no mouse input: a hit on it is the bar's, which
// raises and presses the drawn button as before.
void CCaptionBar::CreateButtonWindow() {
    if (!m_buttonWindow)
        m_buttonWindow = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                                           m_button.left, m_button.top, m_button.right - m_button.left,
                                           m_button.bottom - m_button.top, m_window,
                                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)),
                                           ::GetModuleHandleW(nullptr), nullptr);
    if (!m_buttonWindow) return;
    ::SetWindowTextW(m_buttonWindow, Widen(m_buttonCaption).c_str());
    ::SendMessageW(m_buttonWindow, WM_SETFONT, reinterpret_cast<WPARAM>(m_captionFont.Get()), FALSE);
    m_buttonSubclass.Install(m_buttonWindow, [](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_NCHITTEST) return HTTRANSPARENT;
        return std::nullopt;
    });
}

// The bar's image under the button, its frame in the state it is in, and
// the focus rectangle while it has the keyboard.
void CCaptionBar::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.hwndItem != m_buttonWindow) return;
    if (!m_image) Render();
    const RECT local{0, 0, m_button.right - m_button.left, m_button.bottom - m_button.top};
    {
        const CPaletteSelection palette(item.hDC, m_palette.Get());
        if (m_image) {
            const CMemoryDc memory(::CreateCompatibleDC(item.hDC));
            const CGdiSelection image(memory.Get(), m_image.Get());
            ::BitBlt(item.hDC, 0, 0, local.right, local.bottom, memory.Get(), m_button.left, m_button.top, SRCCOPY);
        }
    }
    DrawFrame(item.hDC, local, (item.itemState & ODS_SELECTED) ? kSunken : ButtonState());
    if (item.itemState & ODS_FOCUS) {
        RECT focus = local;
        ::InflateRect(&focus, -2, -2);
        ::DrawFocusRect(item.hDC, &focus);
    }
}

CCaptionBar::EButtonState CCaptionBar::ButtonState() const {
    if (m_forcedState != kNoState) return m_forcedState;
    return m_window && ::GetCapture() == m_window && m_hover ? kRaised : kFlat;
}

SIZE CCaptionBar::ImageSize() const {
    SIZE size{0, 0};
    if (m_image) ::GetBitmapDimensionEx(m_image.Get(), &size);
    return size;
}

void CCaptionBar::ReadSystemColours() {
    m_shadow = ::GetSysColor(COLOR_BTNSHADOW);
    m_highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
}

// On palette displays the gradient's colours must be in the palette to show
// as colours rather than dithered.
void CCaptionBar::MakePalette() {
    std::vector<unsigned char> memory(sizeof(LOGPALETTE) + kGradientSteps * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(memory.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = kGradientSteps;
    for (int i = 0; i < kGradientSteps; ++i) {
        const COLORREF colour = GradientColor(kTopColour, kBottomColour, i, kGradientSteps);
        palette->palPalEntry[i] = {GetRValue(colour), GetGValue(colour), GetBValue(colour), 0};
    }
    m_palette.Reset(::CreatePalette(palette));
}

// The whole bar into the off-screen image, which only ever grows: taller
// means a new image of the new height, wider one of the new width.
void CCaptionBar::Render() {
    if (!Exists()) return;
    RECT client{};
    ::GetClientRect(m_window, &client);
    if (client.right <= client.left || client.bottom <= client.top) return;
    const CWindowDc screen(nullptr);
    const CMemoryDc memory(::CreateCompatibleDC(screen.Get()));
    if (!memory) return;

    const SIZE old = ImageSize();
    int height = client.bottom - client.top;
    if (m_image && old.cy < height) {
        m_image.Reset();
    } else if (m_image && old.cx < client.right - client.left) {
        m_image.Reset();
        height = old.cy;
    }
    if (!m_image) {
        const int width = std::max<int>(old.cx, client.right - client.left);
        m_image.Reset(::CreateCompatibleBitmap(screen.Get(), width, height));
        if (!m_image) return;
        ::SetBitmapDimensionEx(m_image.Get(), width, height, nullptr);
    }

    const HDC dc = memory.Get();
    const CGdiSelection image(dc, m_image.Get());
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    {
        const CPaletteSelection palette(dc, m_palette.Get());
        FillGradient(dc, client, client);
    }
    DrawFrame(dc, client, kSunken);

    const CGdiSelection font(dc, m_captionFont.Get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kTextColour);
    const std::wstring caption = Widen(m_caption);
    ::TextOutW(dc, client.left + 2, client.bottom - 2, caption.c_str(), static_cast<int>(caption.size()));
    DrawButtonCaption(dc);
}

void CCaptionBar::FillGradient(HDC dc, const RECT& client, const RECT& update) const {
    for (const CGradientBand& band :
         GradientBands(client.top, client.bottom - client.top, update.top, update.bottom, kGradientSteps)) {
        const CBrush brush(::CreateSolidBrush(GradientColor(kTopColour, kBottomColour, band.step, kGradientSteps)));
        const RECT rect{update.left, band.top, update.right, band.bottom};
        ::FillRect(dc, &rect, brush.Get());
    }
}

// The caption runs upwards, centred in the button; the mnemonic letter is
// drawn again, underlined, over itself.
void CCaptionBar::DrawButtonCaption(HDC dc) const {
    const CStrippedCaption caption = StripMnemonic(m_buttonCaption);
    if (caption.text.empty()) return;
    const std::wstring text = Widen(caption.text);
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    const int x = m_button.left + (m_button.right - m_button.left) / 2 - extent.cy / 2;
    const int y = m_button.top + (m_button.bottom - m_button.top) / 2 + extent.cx / 2;
    ::TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    if (caption.mnemonic < 0) return;

    // The mnemonic is a byte offset into the UTF-8 caption; the drawing
    // counts UTF-16 units.
    const std::wstring head = Widen(std::string_view(caption.text).substr(0, static_cast<std::size_t>(caption.mnemonic)));
    const std::size_t letter = UnitsOfCharacters(std::wstring_view(text).substr(head.size()), 1);
    if (head.size() >= text.size() || letter == 0) return;
    LOGFONTW underlinedFont{};
    ::GetObjectW(m_captionFont.Get(), sizeof underlinedFont, &underlinedFont);
    underlinedFont.lfUnderline = TRUE;
    const CFont underlined(::CreateFontIndirectW(&underlinedFont));
    SIZE before{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(head.size()), &before);
    const CGdiSelection selected(dc, underlined.Get());
    ::TextOutW(dc, x, y - before.cx, text.c_str() + head.size(), static_cast<int>(letter));
}

// Sunken: shadow above and left, highlight below and right; raised the other
// way round; flat: no frame.
void CCaptionBar::DrawFrame(HDC dc, const RECT& rect, EButtonState state) const {
    m_lastDrawnState = state;
    if (state != kSunken && state != kRaised) return;
    const COLORREF topLeft = state == kSunken ? m_shadow : m_highlight;
    const COLORREF bottomRight = state == kSunken ? m_highlight : m_shadow;
    const int x = rect.left, y = rect.top, cx = rect.right - rect.left, cy = rect.bottom - rect.top;
    FillSolid(dc, x, y, cx - 1, 1, topLeft);
    FillSolid(dc, x, y, 1, cy - 1, topLeft);
    FillSolid(dc, x + cx - 1, y, 1, cy, bottomRight);
    FillSolid(dc, x, y + cy - 1, cx, 1, bottomRight);
}

void CCaptionBar::OnPaint() {
    const CPaintDc paint(m_window);
    const HDC dc = paint.Get();
    if (!dc) return;
    const CPaletteSelection palette(dc, m_palette.Get());
    if (!m_image) Render();
    if (m_image) {
        const CMemoryDc memory(::CreateCompatibleDC(dc));
        const CGdiSelection image(memory.Get(), m_image.Get());
        ::BitBlt(dc, 0, 0, paint.Update().right, paint.Update().bottom, memory.Get(), 0, 0, SRCCOPY);
    }
    DrawFrame(dc, m_button, ButtonState());
}

void CCaptionBar::InvalidateButton() const {
    if (m_buttonWindow) ::InvalidateRect(m_buttonWindow, nullptr, FALSE);
    if (m_window) ::InvalidateRect(m_window, &m_button, FALSE);
}

// While the pointer is over the button the bar holds the capture, so that it
// learns when the pointer leaves.
void CCaptionBar::OnMouseMove(WPARAM keys, LPARAM point) {
    m_leftButtonUp = (keys & MK_LBUTTON) == 0;
    m_hover = InRect(m_button, POINT{GET_X_LPARAM(point), GET_Y_LPARAM(point)});
    const bool captured = ::GetCapture() == m_window;
    if (m_hover && !captured)
        ::SetCapture(m_window);
    else if (!m_hover && captured)
        ::ReleaseCapture();
    if (ButtonState() != m_lastDrawnState) InvalidateButton();
}

// A press opens the menu only when the button was up before it: the press
// that closes the open menu must not open it again.
void CCaptionBar::OnLeftButtonDown(WPARAM keys, LPARAM point) {
    const bool wasUp = m_leftButtonUp;
    m_leftButtonUp = (keys & MK_LBUTTON) == 0;
    if (!wasUp || !InRect(m_button, POINT{GET_X_LPARAM(point), GET_Y_LPARAM(point)})) return;
    ShowButtonMenu();
    // The menu took the button's release; what the button is now decides
    // whether the next press opens the menu again.
    m_leftButtonUp = ::GetKeyState(VK_LBUTTON) >= 0;
}

bool CCaptionBar::ShowButtonMenu() {
    if (!Exists()) return false;
    const CMenu menu(m_menuId >= 0 ? ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_menuId)) : nullptr);
    const HMENU popup = menu ? ::GetSubMenu(menu.Get(), m_submenu) : nullptr;
    RECT window{};
    ::GetWindowRect(m_window, &window);

    m_forcedState = kSunken;
    InvalidateButton();
    int command = 0;
    if (popup)
        command = static_cast<int>(::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                                    m_button.right + window.left + 3, m_button.top + window.top - 3,
                                                    0, m_window, nullptr));
    m_forcedState = kNoState;
    InvalidateButton();
    if (command == 0 || !Exists()) return false;
    ::SendMessageW(::GetParent(m_window), WM_COMMAND, static_cast<WPARAM>(command), 0);
    return true;
}

void CCaptionBar::OnDisplayChange() {
    ReadSystemColours();
    MakePalette();
    m_image.Reset();
    Render();
    ::RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}
