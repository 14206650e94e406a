// A QMenu built from a popup-menu model, for the main window's menus and the
// dialogs' alike.
#pragma once

#include "ui/controls/Controls.h"

#include <functional>

class QMenu;
class QWidget;

namespace velkor {

// What choosing an entry does; empty: the entry's own Click().
using MenuChoice = std::function<void(const TMenuItem&)>;

// A QMenu named after the model, deleted when it closes, holding copies of the
// entries, so the model may rebuild its own menu meanwhile. Hints become
// status tips, shown by the status bar of the parent's window.
QMenu* BuildQtMenu(const TPopupMenu& menu, QWidget* parent, MenuChoice choose = {});

} // namespace velkor
