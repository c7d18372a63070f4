#include "app/ProgramOptions.h"

#include "app/OptionsSheet.h"

void CProgramOptions::ShowOptions(HWND chat, CChatTextCtrl& history) {
    COptionsContext context{m_store, m_system, m_timeZone, m_ui, &history};
    COptionsSheet sheet(context);
    sheet.RunModal(chat, COptionsSheet::kGeneralPage);
}
