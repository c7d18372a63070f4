#pragma once
// The side caption bar: a narrow child window along the chat window's left
// edge with a colour gradient, a caption written upwards, and one button
// ("&Help") whose menu opens beside the bar; the chosen command goes to the
// parent window. It paints from an off-screen image that is rebuilt only
// when its size, texts or the display change, so resizing does not flicker.
// It is a window class of its own and never keeps the keyboard focus
// itself. The button is a real push button, owner-drawn, so that Tab
// reaches it, Space presses it and screen readers name it ("Help", push
// button); the mouse goes through it to the bar, which draws its states.

#include <windows.h>

#include <string>

#include "chatwindow/CaptionBarDrawing.h"
#include "util/win32/Handles.h"
#include "util/win32/Subclass.h"

class CCaptionBar {
public:
    // How the button is drawn.
    enum EButtonState { kNoState = 0, kFlat = 1, kSunken = 2, kRaised = 3 };

    CCaptionBar();
    CCaptionBar(const CCaptionBar&) = delete;
    CCaptionBar& operator=(const CCaptionBar&) = delete;
    ~CCaptionBar();

    // The bar's window, child `id` of `parent` with `style`, at `rect` in the
    // parent's client coordinates.
    bool Create(HWND parent, int id, DWORD style, const RECT& rect);
    HWND Hwnd() const { return m_window; }
    bool Exists() const { return m_window && ::IsWindow(m_window); }

    // The button: its caption (a "&" marks the underlined letter) and the
    // menu it opens (the pop-up `submenu` of menu resource `menuId`); its
    // place is the bar's measures'. Only once the window exists.
    void SetButton(const std::string& caption, int menuId, int submenu);
    // The measures and the caption font for a window shown at `dpi`; 96
    // until told otherwise. The bar's own window is placed by its parent.
    void SetDpi(int dpi);
    const CCaptionBarMetrics& Metrics() const { return m_metrics; }
    RECT ButtonRect() const { return m_button; }
    void SetCaption(const std::string& text);
    // Opens the button's menu beside the bar, the button drawn pressed while
    // it is open; true when a command was chosen (and sent to the parent).
    bool ShowButtonMenu();

    // The state the button is drawn in now, and the size of the off-screen
    // image (0 by 0 before the first rendering).
    EButtonState ButtonState() const;
    SIZE ImageSize() const;
    // The button's own window, child of the bar; null before SetButton.
    HWND ButtonWindow() const { return m_buttonWindow; }
    static constexpr int kButtonId = 100;  // among the bar's children

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void OnMouseMove(WPARAM keys, LPARAM point);
    void OnLeftButtonDown(WPARAM keys, LPARAM point);
    void OnDisplayChange();
    void ReadSystemColours();
    void MakePalette();
    void Render();
    void FillGradient(HDC dc, const RECT& client, const RECT& update) const;
    void DrawFrame(HDC dc, const RECT& rect, EButtonState state) const;
    void DrawButtonCaption(HDC dc) const;
    void InvalidateButton() const;
    void CreateButtonWindow();
    void OnDrawItem(const DRAWITEMSTRUCT& item);

    static constexpr int kGradientSteps = 236;
    static constexpr COLORREF kTopColour = RGB(185, 0, 185);
    static constexpr COLORREF kBottomColour = RGB(0, 0, 0);
    static constexpr COLORREF kTextColour = RGB(245, 245, 245);

    HWND m_window = nullptr;
    CPalette m_palette;
    CCaptionBarMetrics m_metrics = kCaptionBarMetricsAt96Dpi;
    CFont m_captionFont;
    COLORREF m_shadow = 0;
    COLORREF m_highlight = 0;
    std::string m_caption;
    CBitmap m_image;
    RECT m_button{};
    bool m_leftButtonUp = true;
    bool m_hover = false;
    EButtonState m_forcedState = kNoState;
    mutable EButtonState m_lastDrawnState = kNoState;
    int m_menuId = -1;
    int m_submenu = -1;
    std::string m_buttonCaption;
    HWND m_buttonWindow = nullptr;  // a child of the bar, destroyed with it
    CWindowSubclass m_buttonSubclass;
};
