#include "app/PolicyNote.h"

#include "resources/ResourceIds.h"

void ShowPolicyNote(HWND page, bool anySetByPolicy) {
    if (const HWND note = ::GetDlgItem(page, IDC_POLICYNOTE))
        ::ShowWindow(note, anySetByPolicy ? SW_SHOWNA : SW_HIDE);
}
