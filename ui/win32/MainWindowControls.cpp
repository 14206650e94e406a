// The binding helpers of the main window: each makes a control window, binds
// it to its model and routes its notifications to the handler given.
#include "ui/win32/MainWindowView.h"

#include "ui/win32/ChildWindows.h"
#include "ui/win32/ComboItems.h"
#include "ui/win32/Win32Colour.h"
#include "ui/win32/Win32Text.h"
#include "ui/win32/WindowText.h"

#include <commctrl.h>

namespace velkor {

HWND MainWindowView::Control(HWND parent, const wchar_t* kind, DWORD style, DWORD exStyle,
                             Command onCommand) {
    const int id = nextId_++;
    if (onCommand) {
        commands_[id] = std::move(onCommand);
    }
    const HWND control = CreateWindowExW(
        exStyle, kind, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
    return control;
}

HWND MainWindowView::Button(HWND parent, TControl& model, std::function<void()> onClick) {
    const HWND button = Control(parent, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0,
                                [onClick = std::move(onClick)](int code, HWND) {
                                    if (code == BN_CLICKED) {
                                        onClick();
                                    }
                                });
    binder_->Bind(model, button, [&model, button] { ShowWindowText(button, model.Caption()); });
    return button;
}

HWND MainWindowView::Label(HWND parent, TControl& model, DWORD align) {
    const HWND label = Control(parent, L"STATIC", align | SS_NOPREFIX | SS_CENTERIMAGE);
    binder_->Bind(model, label, [&model, label] { ShowWindowText(label, model.Caption()); });
    return label;
}

HWND MainWindowView::CheckBox(HWND parent, TCheckBox& model, std::function<void()> onChange) {
    const HWND box =
        Control(parent, L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0,
                [&model, onChange = std::move(onChange)](int code, HWND control) {
                    if (code != BN_CLICKED) {
                        return;
                    }
                    model.SetChecked(SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED);
                    if (onChange) {
                        onChange();
                    }
                });
    binder_->Bind(model, box, [&model, box] {
        ShowWindowText(box, model.Caption());
        SendMessageW(box, BM_SETCHECK, model.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
    });
    return box;
}

HWND MainWindowView::Edit(HWND parent, TEdit& model, std::function<void()> onChange) {
    const HWND edit = Control(parent, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                              [&model, onChange = std::move(onChange)](int code, HWND control) {
                                  if (code == EN_CHANGE) {
                                      model.SetText(WindowText(control));
                                      onChange();
                                  }
                              });
    binder_->Bind(model, edit, [&model, edit] { ShowWindowText(edit, model.Text()); });
    return edit;
}

HWND MainWindowView::ComboBox(HWND parent, TComboBox& model, bool editable,
                              std::function<void()> onChange) {
    const DWORD kind = editable ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST;
    const HWND combo = Control(
        parent, L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | kind, 0,
        [&model, onChange = std::move(onChange)](int code, HWND control) {
            if (code == CBN_SELCHANGE) {
                model.SetItemIndex(static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0)));
                if (onChange) {
                    onChange();
                }
            } else if (code == CBN_EDITCHANGE) {
                model.SetText(WindowText(control));
            }
        });
    backgrounds_[combo] = &model;
    binder_->Bind(model, combo, [&model, combo, editable] {
        ShowComboItems(combo, model);
        if (editable) {
            ShowWindowText(combo, model.Text());
        }
        InvalidateRect(combo, nullptr, TRUE); // its colour may have changed
    });
    return combo;
}

HWND MainWindowView::TrackBar(HWND parent, TTrackBar& model) {
    const HWND bar = Control(parent, TRACKBAR_CLASSW, WS_TABSTOP | TBS_HORZ | TBS_NOTICKS);
    SendMessageW(bar, TBM_SETRANGEMIN, FALSE, model.Min());
    SendMessageW(bar, TBM_SETRANGEMAX, FALSE, model.Max());
    trackBars_[bar] = &model;
    binder_->Bind(model, bar,
                  [&model, bar] { SendMessageW(bar, TBM_SETPOS, TRUE, model.Position()); });
    return bar;
}

HWND MainWindowView::Lamp(HWND parent, TControl& model, int lamp) {
    const int id = nextId_++;
    commands_[id] = [this, lamp](int code, HWND) {
        if (code == STN_CLICKED) {
            form_.shInputMouseUp(lamp);
        }
    };
    const HWND window = CreateLamp(parent, id);
    binder_->Bind(model, window, [&model, window] {
        if (model.Colour() < kSystemColour) {
            SetLampColour(window, ModelColour(model.Colour()));
        }
    });
    return window;
}

void MainWindowView::OnContextMenu(HWND control, std::function<void()> onPopup) {
    contextMenus_[control] = std::move(onPopup);
}

} // namespace velkor
