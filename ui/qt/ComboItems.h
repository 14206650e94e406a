// A QComboBox showing a combo box model: one function for the main window's
// combos and the dialogs' block lists alike.
#pragma once

#include "ui/controls/Controls.h"

class QComboBox;

namespace velkor {

// Shows the model's entries and selection without emitting the widget's
// signals. The entries are replaced only when they differ from those shown.
void ShowComboItems(QComboBox* combo, const TComboBox& model);

} // namespace velkor
