#pragma once
// The line under an Options page that tells why some of its controls are
// greyed: a policy sets their settings, and the page shows the value it
// sets without letting it be changed.

#include <windows.h>

// Shows the page's note (IDC_POLICYNOTE) when `anySetByPolicy`, else hides it.
void ShowPolicyNote(HWND page, bool anySetByPolicy);
