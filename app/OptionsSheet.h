#pragma once
// The Options sheet: the General, Format and QuickKeys pages in that order,
// no Apply button, opening on General. It adds nothing of its own to the
// framework's property sheet.

#include "app/FormatPage.h"
#include "app/GeneralPage.h"
#include "app/OptionsContext.h"
#include "app/QuickKeysPage.h"
#include "util/win32/PropertySheet.h"

inline constexpr char kOptionsCaption[] = "Options";

class COptionsSheet : public CPropertySheet {
public:
    explicit COptionsSheet(COptionsContext& context)
        : CPropertySheet(kOptionsCaption, PSH_NOAPPLYNOW),
          m_general(AddPage<CGeneralPage>(context)),
          m_format(AddPage<CFormatPage>(context)),
          m_quickKeys(AddPage<CQuickKeysPage>(context)) {}

    CGeneralPage& General() { return m_general; }
    CFormatPage& Format() { return m_format; }
    CQuickKeysPage& QuickKeys() { return m_quickKeys; }

    static constexpr int kGeneralPage = 0;
    static constexpr int kFormatPage = 1;
    static constexpr int kQuickKeysPage = 2;

private:
    CGeneralPage& m_general;
    CFormatPage& m_format;
    CQuickKeysPage& m_quickKeys;
};
