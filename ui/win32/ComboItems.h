// A Win32 combo box showing a combo box model: one function for the main
// window's combos and the dialogs' block lists alike.
#pragma once

#include "ui/controls/Controls.h"

#include <windows.h>

#include <string>

namespace velkor {

// Shows the model's entries and selection. The entries are replaced only when
// they differ from those shown, so an open list and its scroll position stay.
void ShowComboItems(HWND combo, const TComboBox& model);

// The text of entry `index` as shown (empty: no such entry).
std::wstring ComboItemText(HWND combo, int index);

} // namespace velkor
