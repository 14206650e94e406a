#include "ui/win32/DeviceTableView.h"

#include "ui/win32/Win32Text.h"
#include "ui/win32/WindowNames.h"

#include <algorithm>

namespace velkor {

namespace {

// Room for an address in every column, and for a MAC in the first, in the
// window font's average characters.
constexpr int kAddressChars = 17;
constexpr int kMacChars = 19;

int AverageCharWidth(HWND window) {
    const HDC dc = GetDC(window);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, L"0123456789", 10, &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return std::max(1, static_cast<int>(size.cx / 10));
}

} // namespace

DeviceTableView::DeviceTableView(TRFIDMainForm& form, HWND parent,
                                 std::function<void()> scheduleRefresh,
                                 std::function<void(std::function<void()>)> defer)
    : form_(form), list_(form.lbDeviceList), scheduleRefresh_(std::move(scheduleRefresh)),
      defer_(std::move(defer)) {
    table_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                 LVS_SHOWSELALWAYS,
                             0, 0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowName(table_, list_.Name());
    ListView_SetExtendedListViewStyle(table_, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP |
                                                  LVS_EX_DOUBLEBUFFER | LVS_EX_HEADERDRAGDROP);
    const std::vector<std::string>& captions = DeviceListBox::ColumnCaptions();
    for (size_t column = 0; column < captions.size(); ++column) {
        std::wstring caption = Wide(captions[column]);
        LVCOLUMNW description{};
        description.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        description.pszText = caption.data();
        description.cx = 100;
        description.iSubItem = static_cast<int>(column);
        ListView_InsertColumn(table_, static_cast<int>(column), &description);
    }
    list_.SetListListener([this](int) {
        changed_ = true;
        scheduleRefresh_();
    });
    Flush();
}

DeviceTableView::~DeviceTableView() {
    Detach();
}

void DeviceTableView::Detach() {
    if (attached_) {
        attached_ = false;
        list_.SetListListener({});
    }
}

void DeviceTableView::Flush() {
    if (!attached_) {
        return;
    }
    if (changed_) {
        changed_ = false;
        rows_.clear();
        rows_.reserve(static_cast<size_t>(list_.RowCount()));
        for (int row = 0; row < list_.RowCount(); ++row) {
            rows_.push_back(list_.RowEntry(row));
        }
        ListView_SetItemCountEx(table_, static_cast<int>(rows_.size()), LVSICF_NOSCROLL);
        InvalidateRect(table_, nullptr, FALSE);
    }
    FitColumnsToFont();
    ShowSortColumn();
    ShowSelection();
}

void DeviceTableView::ShowSortColumn() {
    const std::pair<int, bool> sort{list_.SortColumn(), list_.SortDescending()};
    if (sort == shownSort_) {
        return; // setting a header item makes the view lay its columns out again
    }
    shownSort_ = sort;
    const HWND header = ListView_GetHeader(table_);
    for (int column = 0; column < DeviceListBox::ColumnCount(); ++column) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, column, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (column == sort.first) {
            item.fmt |= sort.second ? HDF_SORTDOWN : HDF_SORTUP;
        }
        Header_SetItem(header, column, &item);
    }
}

void DeviceTableView::FitColumnsToFont() {
    // Only when the font changes (with the resolution): widths the user set stay.
    const auto font = reinterpret_cast<HFONT>(SendMessageW(table_, WM_GETFONT, 0, 0));
    if (font == sizedFor_) {
        return;
    }
    sizedFor_ = font;
    const int charWidth = AverageCharWidth(table_);
    ListView_SetColumnWidth(table_, 0, charWidth * kMacChars);
    for (int column = 1; column < DeviceListBox::ColumnCount(); ++column) {
        ListView_SetColumnWidth(table_, column, charWidth * kAddressChars);
    }
}

void DeviceTableView::ShowSelection() {
    const int index = list_.ItemIndex();
    const int shown = ListView_GetNextItem(table_, -1, LVNI_FOCUSED);
    const bool selected =
        index >= 0 && (ListView_GetItemState(table_, index, LVIS_SELECTED) & LVIS_SELECTED) != 0;
    if (shown == index && (index < 0 || selected)) {
        return;
    }
    selecting_ = true;
    ListView_SetItemState(table_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (index >= 0) {
        ListView_SetItemState(table_, index, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(table_, index, FALSE);
    }
    selecting_ = false;
}

int DeviceTableView::EntryIndex(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return -1;
    }
    if (!changed_) {
        return row;
    }
    // Rows announced since the last refresh moved the entry: find it.
    const DeviceListBox::EntryPtr& entry = rows_[static_cast<size_t>(row)];
    for (int index = 0; index < list_.RowCount(); ++index) {
        if (list_.RowEntry(index) == entry) {
            return index;
        }
    }
    return -1;
}

void DeviceTableView::RowChosen(int row) {
    const int index = EntryIndex(row);
    if (index != list_.ItemIndex()) {
        list_.SetItemIndex(index);
    }
}

void DeviceTableView::CopySelectedRows() {
    std::vector<int> rows;
    for (int row = ListView_GetNextItem(table_, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(table_, row, LVNI_SELECTED)) {
        if (const int index = EntryIndex(row); index >= 0) {
            rows.push_back(index);
        }
    }
    std::sort(rows.begin(), rows.end());
    form_.CopyDeviceRows(rows);
}

bool DeviceTableView::Notify(const NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != table_) {
        return false;
    }
    result = 0;
    switch (header.code) {
    case LVN_GETDISPINFOW: {
        auto& info = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header));
        const auto row = static_cast<size_t>(info.item.iItem);
        if ((info.item.mask & LVIF_TEXT) != 0 && row < rows_.size()) {
            cell_ = Wide(DeviceListBox::CellText(*rows_[row], info.item.iSubItem));
            info.item.pszText = cell_.data();
        }
        return true;
    }
    case LVN_GETINFOTIPW: {
        auto& tip = const_cast<NMLVGETINFOTIPW&>(reinterpret_cast<const NMLVGETINFOTIPW&>(header));
        const auto row = static_cast<size_t>(tip.iItem);
        if (row < rows_.size() && tip.cchTextMax > 0) {
            const std::wstring text = Wide(rows_[row]->Text); // the entry text of the log
            const size_t length = std::min(text.size(), static_cast<size_t>(tip.cchTextMax - 1));
            text.copy(tip.pszText, length);
            tip.pszText[length] = L'\0';
        }
        return true;
    }
    case LVN_ITEMCHANGED: {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if (!selecting_ && (change.uChanged & LVIF_STATE) != 0 &&
            (change.uNewState & LVIS_FOCUSED) != 0 && (change.uOldState & LVIS_FOCUSED) == 0) {
            RowChosen(change.iItem);
        }
        return true;
    }
    case LVN_COLUMNCLICK:
        form_.lbDeviceListHeaderClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        return true;
    case NM_CLICK:
        form_.lbDeviceListClick();
        return true;
    case NM_DBLCLK:
        // After the click has been handled, like the list's own double-click event.
        defer_([this] { form_.lbDeviceListDblClick(); });
        return true;
    case LVN_KEYDOWN:
        if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == 'C' &&
            GetKeyState(VK_CONTROL) < 0) {
            CopySelectedRows(); // every selected row, not only the focused one
        }
        return true;
    default:
        return false;
    }
}

} // namespace velkor
