#pragma once
// The Options sheet in this process over an in-memory settings store, made
// modeless so that each test drives it with the messages the sheet, its tabs
// and its controls send, as Wine's own property sheet tests do. The windows
// it would open (colour and font dialogs, the shell) are scripted.

#include <windows.h>

#include <commctrl.h>
#include <prsht.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/OptionsSheet.h"
#include "chattext/TimeZone.h"
#include "platform/FileApi.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/MemorySystem.h"
#include "resources/ResourceIds.h"
#include "settings/SettingsStore.h"
#include "util/win32/WideText.h"

inline const std::string kMainPath = "Software\\Pellandor\\Mivlet";
inline const std::string kQuickKeysPath = kMainPath + "\\QuickKeys";
inline const std::string kGeneralFontPath = kMainPath + "\\GeneralFont";
inline const std::string kPrefixFontPath = kMainPath + "\\PrefixFont";

class CScriptedUi : public COptionsUi {
public:
    struct COpened {
        std::string file, parameters;
        bool operator==(const COpened& other) const { return file == other.file && parameters == other.parameters; }
    };
    std::vector<COpened> opened;
    std::vector<bool> openResults;  // one per ShellOpen, in order; false once they run out
    std::vector<std::string> messages;
    std::function<bool(CHOOSECOLORW&)> chooseColor = [](CHOOSECOLORW&) { return false; };
    std::function<bool(CHOOSEFONTW&)> chooseFont = [](CHOOSEFONTW&) { return false; };
    int colorDialogs = 0, fontDialogs = 0;

    bool ChooseColor(CHOOSECOLORW& choice) override {
        ++colorDialogs;
        return chooseColor(choice);
    }
    bool ChooseFont(CHOOSEFONTW& choice) override {
        ++fontDialogs;
        return chooseFont(choice);
    }
    bool ShellOpen(const std::string& file, const std::string& parameters) override {
        const std::size_t index = opened.size();
        opened.push_back({file, parameters});
        return index < openResults.size() && openResults[index];
    }
    int ShowMessage(HWND, const std::string& text, UINT) override {
        messages.push_back(text);
        return IDOK;
    }
};

inline std::string WindowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(std::max(0, ::GetWindowTextW(window, text.data(), length + 1))));
    return Narrow(text);
}

// Files that open anywhere but in the folders the test refuses (as the
// Windows folder refuses a standard user's); nothing reaches a disk.
class CFolderFiles final : public CFileApi {
public:
    FileHandle OpenExclusive(const std::string& path, EFileOpenFailure* failure = nullptr) override {
        for (const std::string& folder : refusedFolders) {
            if (path.compare(0, folder.size() + 1, folder + "\\") == 0) {
                if (failure) *failure = EFileOpenFailure::Refused;
                return kInvalidFileHandle;
            }
        }
        if (failure) *failure = EFileOpenFailure::None;
        return ++m_lastHandle;
    }
    bool CreateFolder(const std::string&) override { return true; }
    bool ReadStart(FileHandle, void*, std::uint32_t, std::uint32_t* read) override {
        if (read) *read = 0;
        return true;
    }
    bool SeekToEnd(FileHandle, std::uint64_t* offset) override {
        if (offset) *offset = 0;
        return true;
    }
    bool Write(FileHandle, const void*, std::uint32_t size, std::uint32_t* written) override {
        if (written) *written = size;
        return true;
    }
    bool TruncateAt(FileHandle, std::uint64_t) override { return true; }
    bool CloseFile(FileHandle) override { return true; }

    std::vector<std::string> refusedFolders;

private:
    FileHandle m_lastHandle = 0x40;
};

class OptionsFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ::LoadLibraryW(L"RICHED20.DLL");
        ::LoadLibraryW(L"RICHED32.DLL");
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
    }
    ~OptionsFixture() override { sheet.reset(); }

    void Open(int startPage = COptionsSheet::kGeneralPage) {
        sheet = std::make_unique<COptionsSheet>(context);
        ASSERT_TRUE(sheet->Create(nullptr, startPage));
    }
    HWND Sheet() const { return sheet->Hwnd(); }
    void ShowPage(int index) const { PropSheet_SetCurSel(Sheet(), nullptr, index); }
    // The sheet posts the button's command to itself, as a click would.
    void PressOk() const {
        PropSheet_PressButton(Sheet(), PSBTN_OK);
        Pump();
    }
    void PressCancel() const {
        PropSheet_PressButton(Sheet(), PSBTN_CANCEL);
        Pump();
    }

    static HWND Item(const CPropertyPage& page, int id) { return ::GetDlgItem(page.Hwnd(), id); }
    static LRESULT SendItem(const CPropertyPage& page, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::SendMessageW(Item(page, id), message, wParam, lParam);
    }
    // What a click does: the button changes and tells its page.
    static void Click(const CPropertyPage& page, int id) { SendItem(page, id, BM_CLICK); }
    static void SelectInCombo(const CPropertyPage& page, int id, int index) {
        SendItem(page, id, CB_SETCURSEL, static_cast<WPARAM>(index));
        ::SendMessageW(page.Hwnd(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(Item(page, id)));
    }
    // What typing does: replaces the selection, with the notifications.
    static void Type(const CPropertyPage& page, int id, const std::string& text) {
        SendItem(page, id, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Widen(text).c_str()));
    }
    static std::string ListText(const CPropertyPage& page, int id, int index, bool combo = false) {
        const HWND list = Item(page, id);
        const auto at = static_cast<WPARAM>(index);
        const LRESULT length = ::SendMessageW(list, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, at, 0);
        if (length <= 0) return {};
        std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
        ::SendMessageW(list, combo ? CB_GETLBTEXT : LB_GETTEXT, at, reinterpret_cast<LPARAM>(wide.data()));
        return NarrowBuffer(wide.data(), wide.size());
    }
    // A key pressed in `window`, through the sheet's loop as the program runs it.
    void Key(HWND window, WPARAM key, UINT message = WM_KEYDOWN) const {
        MSG msg{window, message, key, 1, ::GetTickCount(), {}};
        if (PreTranslateForSheet(*sheet, msg)) return;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    void Pump() const {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (sheet && PreTranslateForSheet(*sheet, msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }

    // Every value of the store, for the checks that nothing was written.
    std::vector<std::string> Snapshot() const {
        std::vector<std::string> values;
        for (const std::string& path : {kMainPath, kQuickKeysPath, kGeneralFontPath, kPrefixFontPath})
            for (const std::string& name : registry.ValueNames(path))
                values.push_back(path + "\\" + name + "=" + registry.FindValue(path, name)->bytes);
        return values;
    }
    std::string StoredString(const std::string& path, const std::string& name) const {
        const auto value = registry.FindValue(path, name);
        return value ? std::string(value->bytes.c_str()) : "<none>";
    }
    std::optional<std::uint32_t> StoredDword(const std::string& path, const std::string& name) const {
        const auto value = registry.FindValue(path, name);
        if (!value || value->bytes.size() != 4) return std::nullopt;
        std::uint32_t number = 0;
        std::memcpy(&number, value->bytes.data(), 4);
        return number;
    }

    CMemoryRegistry registry;
    CSettingsStore store{registry};
    CMemorySystem system;
    CFixedTimeZone zone{0};
    CScriptedUi ui;
    CFolderFiles files;
    COptionsContext context{store, system, files, zone, ui, nullptr};
    std::unique_ptr<COptionsSheet> sheet;
};
