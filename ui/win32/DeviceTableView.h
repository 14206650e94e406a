// The discovery table (`lbDeviceList`) as a virtual list view: the view asks
// for the cells it draws, so thousands of rows cost nothing until shown. It
// holds the rows of its last refresh (entries shared with the list model), so
// the cells it draws stay valid until the next refresh, even after the list
// was emptied; changes announced in a burst are taken together. Clicks,
// double clicks, header clicks, the selection and Ctrl+C go to the form.
#pragma once

#include "ui/main/URfidForm.h"

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace velkor {

class DeviceTableView {
public:
    // `scheduleRefresh` asks the owner to call Flush soon; `defer` runs a task
    // once the current message has been handled.
    DeviceTableView(TRFIDMainForm& form, HWND parent, std::function<void()> scheduleRefresh,
                    std::function<void(std::function<void()>)> defer);
    ~DeviceTableView();
    DeviceTableView(const DeviceTableView&) = delete;
    DeviceTableView& operator=(const DeviceTableView&) = delete;

    HWND Window() const { return table_; }
    // Takes the list's rows, its sort column and its selection.
    void Flush();
    // Handles a notification from the table; false when it was not one.
    bool Notify(const NMHDR& header, LRESULT& result);
    // The device list row shown at `row` of the view, or -1 when it is gone.
    int EntryIndex(int row) const;
    void Detach();

private:
    void ShowSortColumn();
    void FitColumnsToFont();
    void ShowSelection();
    void RowChosen(int row);
    void CopySelectedRows();

    TRFIDMainForm& form_;
    DeviceListBox& list_;
    HWND table_;
    std::function<void()> scheduleRefresh_;
    std::function<void(std::function<void()>)> defer_;
    std::vector<DeviceListBox::EntryPtr> rows_;
    std::wstring cell_;                         // the text last handed to the view
    std::pair<int, bool> shownSort_{-2, false}; // column and direction the header shows
    HFONT sizedFor_ = nullptr;                  // the font the column widths were made for
    bool changed_ = true;
    bool selecting_ = false; // the view's selection is being set from the model
    bool attached_ = true;
};

} // namespace velkor
