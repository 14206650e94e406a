// Remembered settings, the traffic log's options, saving the log and
// exporting the device table.
#include "ui/main/URfidForm.h"

#include "protocol/Win1251.h"
#include "session/DiscoveryExport.h"
#include "ui/main/FormSettings.h"
#include "ui/main/TextFile.h"

namespace velkor {

namespace {

struct ExportChoice {
    const char* caption;
    bool shownOnly;
    bool json;
};

constexpr ExportChoice kExportChoices[] = {
    {"All devices as CSV...", false, false},
    {"All devices as JSON...", false, true},
    {"Shown devices as CSV...", true, false},
    {"Shown devices as JSON...", true, true},
};

const char* OnOff(bool on) {
    return on ? "1" : "0";
}

} // namespace

std::optional<std::string> TRFIDMainForm::Recall(const std::string& key) const {
    return settings_ != nullptr ? settings_->Read(key) : std::nullopt;
}

void TRFIDMainForm::Remember(const std::string& key, const std::string& value) {
    if (settings_ == nullptr) {
        return;
    }
    // Said once when saving starts to fail, not at every later change.
    std::string error;
    const bool saved = settings_->Write(key, value, error);
    if (!saved && !settingsUnsaved_) {
        AddLog("settings not saved: " + error);
    }
    settingsUnsaved_ = !saved;
}

void TRFIDMainForm::LoadRememberedSettings() {
    if (const auto flag = Recall(kSettingUdpFlag); flag && cbUDPFlag.IndexOf(*flag) >= 0) {
        cbUDPFlag.SetItemIndex(cbUDPFlag.IndexOf(*flag));
    }
    // An option on the command line wins for this run and is not remembered.
    cbLogTimestamps.SetChecked(
        options_.LogTimestamps.value_or(Recall(kSettingLogTimestamps) == OnOff(true)));
    cbLogSent.SetChecked(options_.LogSent.value_or(Recall(kSettingLogSent) == OnOff(true)));
    lastDirectTarget_ = Recall(kSettingDirectTarget).value_or("");
}

std::string TRFIDMainForm::StartInterface() const {
    return options_.Interface.value_or(Recall(kSettingInterface).value_or("all"));
}

std::optional<WindowGeometry> TRFIDMainForm::RememberedGeometry() const {
    const auto text = Recall(kSettingGeometry);
    return text ? ParseGeometry(*text) : std::nullopt;
}

void TRFIDMainForm::RememberGeometry(const WindowGeometry& geometry) {
    Remember(kSettingGeometry, GeometryText(geometry));
}

void TRFIDMainForm::cbLogOptionsChange() {
    Remember(kSettingLogTimestamps, OnOff(cbLogTimestamps.Checked()));
    Remember(kSettingLogSent, OnOff(cbLogSent.Checked()));
}

void TRFIDMainForm::btnSaveLogClick() {
    const auto path =
        services_.AskSaveFileName("Save Log", "velkor-log.txt", "Text files", "*.txt");
    if (!path) {
        return;
    }
    std::string text;
    for (const std::string& line : memLog.Lines()) {
        text += Utf8FromWin1251(line) + "\n";
    }
    std::string error;
    AddLog(WriteTextFile(*path, text, &error) ? "log saved to " + *path
                                              : "log not saved to " + *path + ": " + error);
}

void TRFIDMainForm::BuildExportMenu() {
    pmExport.Clear();
    for (const ExportChoice& choice : kExportChoices) {
        TMenuItem item;
        item.Caption = choice.caption;
        item.OnClick = [this, choice] { ExportDevices(choice.shownOnly, choice.json); };
        pmExport.Add(std::move(item));
    }
}

void TRFIDMainForm::btnExportClick() {
    services_.Popup(pmExport, &btnExport);
}

void TRFIDMainForm::ExportDevices(bool shownOnly, bool json) {
    const auto path = services_.AskSaveFileName(
        json ? "Export as JSON" : "Export as CSV", json ? "devices.json" : "devices.csv",
        json ? "JSON files" : "CSV files", json ? "*.json" : "*.csv");
    if (!path) {
        return;
    }
    const std::vector<DiscoveryAnswer> answers = lbDeviceList.Answers(shownOnly);
    std::string error;
    if (WriteTextFile(*path, json ? DiscoveryJson(answers) : DiscoveryCsv(answers), &error)) {
        AddLog(std::to_string(answers.size()) + " devices exported to " + *path);
    } else {
        AddLog("devices not exported to " + *path + ": " + error);
    }
}

} // namespace velkor
