#pragma once
// The program's own thin dialog framework: a dialog object that keeps its
// pointer in the window's DWLP_USER from WM_INITDIALOG on, hands commands,
// notifications and every other message to their own virtual handlers,
// writes results where the dialog manager expects them, and keeps C++
// exceptions inside. It runs modeless (the chat window) or modal (About, the
// name prompt); property pages (PropertyPage.h) build on it.

#include <windows.h>

#include <optional>
#include <string>

#include "util/win32/WideText.h"

// One control of a dialog, bound by its id when the dialog initialises.
class CDialogItem {
public:
    CDialogItem() = default;
    explicit CDialogItem(int id) : m_id(id) {}
    void Bind(HWND dialog) { m_window = ::GetDlgItem(dialog, m_id); }
    void Unbind() { m_window = nullptr; }

    int Id() const { return m_id; }
    HWND Hwnd() const { return m_window; }
    bool Exists() const { return m_window && ::IsWindow(m_window); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return m_window ? ::SendMessageW(m_window, message, wParam, lParam) : 0;
    }
    void SetText(const std::string& text) const {
        if (m_window) ::SetWindowTextW(m_window, Widen(text).c_str());
    }
    std::string Text() const;
    void Enable(bool enable) const {
        if (m_window) ::EnableWindow(m_window, enable ? TRUE : FALSE);
    }
    bool IsEnabled() const { return m_window && ::IsWindowEnabled(m_window); }
    void Focus() const {
        if (m_window) ::SetFocus(m_window);
    }

private:
    int m_id = 0;
    HWND m_window = nullptr;
};

class CDialog {
public:
    explicit CDialog(int templateId) : m_templateId(templateId) {}
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;
    // Destroys a window that is still there, without running its handlers
    // against a half-destroyed object.
    virtual ~CDialog();

    // Creates the window from the template in this module; false when the
    // template could not be made into a window or its initialisation
    // destroyed it again.
    bool CreateModeless(HWND parent);
    // Runs the dialog in its own modal loop; the EndModal result, or -1 when
    // the dialog could not be created.
    INT_PTR RunModal(HWND parent);
    void EndModal(INT_PTR result);

    HWND Hwnd() const { return m_window; }
    bool Exists() const { return m_window && ::IsWindow(m_window); }
    HWND Item(int id) const { return ::GetDlgItem(m_window, id); }

    // Destroys a modeless dialog or ends a modal one. Derived dialogs may
    // first end what depends on them.
    virtual void DestroyDialog();

    // Offered every key message for this dialog or its controls before the
    // message loop's dialog navigation; true when it was consumed.
    virtual bool PreTranslateKey(const MSG& message);

    // The message loop ends (WM_QUIT) once this dialog's window is gone.
    void SetQuitOnDestroy(bool quit) { m_quitOnDestroy = quit; }

protected:
    // Binds the dialog's control objects to their ids (data exchange).
    virtual void BindControls() {}
    // WM_INITDIALOG after BindControls: true lets the dialog manager put the
    // focus on the first control.
    virtual bool OnInitDialog() { return true; }
    // WM_COMMAND: true when the command was handled. IDOK and IDCANCEL fall
    // through to OnOk and OnCancel.
    virtual bool OnCommand(int id, int code, HWND control);
    virtual void OnOk() { EndOrDestroy(IDOK); }
    virtual void OnCancel() { EndOrDestroy(IDCANCEL); }
    // WM_NOTIFY from a control (or, for a page, from its sheet): the result
    // when handled, which goes back through DWLP_MSGRESULT; nothing leaves
    // it to the dialog manager.
    virtual std::optional<LRESULT> OnNotify(const NMHDR& header);
    // Every other message: the result when handled, nothing to leave it to
    // the dialog manager's default handling (which then still runs).
    virtual std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The window is gone (WM_NCDESTROY); the object lives on.
    virtual void OnDestroyed() {}

    bool IsModal() const { return m_modal; }
    int TemplateId() const { return m_templateId; }

    // The work of a dialog procedure once it knows its object: `attaching`
    // (at WM_INITDIALOG only) is bound to `window`; afterwards the object is
    // found from the window. A dialog procedure of another shape (a property
    // page finds its object elsewhere) hands its messages here.
    static INT_PTR HandleDialogMessage(CDialog* attaching, HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Result(UINT message, LRESULT result);
    void EndOrDestroy(INT_PTR result);

    int m_templateId;
    HWND m_window = nullptr;
    bool m_modal = false;
    bool m_quitOnDestroy = false;
};

// The framework's message loop for a program whose main window is `main`:
// runs until WM_QUIT, offering key messages to the dialog first.
int RunMessageLoop(CDialog& main);

// One message of the loop: true when `main` consumed it (pre-translation or
// dialog navigation); the loop then dispatches nothing. Tests pump through
// this so that they see the keys as the program does.
bool PreTranslateForDialog(CDialog& main, MSG& message);
