// TRFIDMainForm: the configurator's main window without a window toolkit. It
// owns the reader link, plain models of every control, and the handlers that
// the view calls for clicks, menu choices and timer ticks. The handlers are
// spread over several files by subject: URfidForm.cpp (start-up, pages, log,
// reader events), FormDiscovery.cpp (interfaces, device table, connect,
// disconnect), FormDispatch.cpp (inbound packets, settings replies,
// write-back), FormCommands.cpp (device commands), FormWorkflows.cpp (settings
// workflows), FormLocks.cpp (lock kits, keep-alive, direct connect) and
// FormFiles.cpp (remembered settings, log options, saving and exporting).
#pragma once

#include "device/Catalogue.h"
#include "net/UKVTSocket.h"
#include "session/DiscoveryTargets.h"
#include "session/MainThread.h"
#include "session/ReaderLink.h"
#include "ui/controls/Controls.h"
#include "ui/main/CommandLine.h"
#include "ui/main/ConfigEditors.h"
#include "ui/main/DeviceList.h"
#include "ui/main/SettingsStore.h"
#include "ui/main/TrafficLog.h"
#include "ui/main/TrafficLogFile.h"
#include "ui/main/WindowServices.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace velkor {

// One pending settings edit, carried from the packet dispatch to the handler
// that opens its dialog (window message 1124), so that no modal dialog runs
// inside a packet handler.
struct TModalMsgObject {
    using EditEntry =
        std::function<std::string(const std::string& value, const std::string& caption)>;
    EditEntry Edit;    // empty: nothing to edit
    std::string Value; // current value bytes
    std::string Caption;
    uint8_t Item = 0; // 0: nothing is written back
    uint8_t Flags = 0;
};

class TRFIDMainForm {
public:
    using ReaderFactory = std::function<std::unique_ptr<IReaderLink>()>;
    // The computer's IPv4 interfaces (GetNetworkInterfaces unless replaced).
    using InterfaceSource = std::function<bool(tNetworkInterfaceList&)>;
    // The local address the limited broadcast leaves from (LimitedBroadcastSource
    // unless replaced).
    using RouteSource = std::function<std::optional<uint32_t>()>;

    TRFIDMainForm(ReaderFactory readerFactory, IMainThread& mainThread, IWindowServices& services,
                  IConfigEditors& editors);
    ~TRFIDMainForm();
    TRFIDMainForm(const TRFIDMainForm&) = delete;
    TRFIDMainForm& operator=(const TRFIDMainForm&) = delete;

    // ---- Before start-up ----
    void SetStartOptions(VelkorOptions options);
    // Where remembered settings are read and written (none: nothing is kept).
    void SetSettingsStore(ISettingsStore* store);
    void SetInterfaceSource(InterfaceSource source, RouteSource route = LimitedBroadcastSource);
    // Opens the log file copy of the options, if any; false with `error` set
    // when it cannot be opened.
    bool OpenLogFile(std::string* error);

    // ---- Start-up, shut-down, pages, log ----
    void FormCreate();
    void FormDestroy();
    void AddLog(std::string line);
    void ShowMainPage();
    void ShowConnecting();

    // ---- Reader events (main thread) ----
    void ReaderDatagram(const TRFIDReaderDatagram& datagram);
    void ReaderPacket(const TRFIDReaderPacket& packet);
    void ReaderDevice(const DiscoveryAnswer& answer);
    void ReaderError(const std::string& text);
    void ReaderSent(const ReaderSend& send);
    void ReaderDropped(std::size_t count);

    // ---- Discovery page and connection ----
    void btnScanClick();
    void cbUDPFlagChange();
    void cbInterfaceChange();
    void edFilterChange();
    void lbDeviceListHeaderClick(int column);
    // Ctrl+C in the table: the rows as text on the clipboard.
    void CopyDeviceRows(const std::vector<int>& rows);
    void lbDeviceListClick();
    void lbDeviceListDblClick();
    void lbDeviceListContextPopup();
    bool SelectDeviceTarget();
    bool ClearDeviceTarget();
    bool ConnectTo(const std::string& host, int port);
    bool ConnectPrompt();
    void btnDisconnectClick();

    // ---- Inbound packets and settings replies ----
    void DispatchPacket();
    void ShowInputStates(uint8_t state);
    void HandleSettingsReply(const TRFIDReaderPacket& packet);
    void PostModalMsg(TModalMsgObject::EditEntry edit, uint8_t item, const std::string& caption,
                      const std::string& value, uint8_t flags);
    void EditAndWriteBack(TModalMsgObject& message);
    void SendSettings(uint8_t item, uint8_t flags, const std::string& value);

    // ---- Device commands ----
    void ShowDeviceText(const std::string& text, uint16_t holdMs, int pattern, bool holdFlag,
                        uint8_t flags, uint8_t code);
    void PlayMelody(uint8_t volume, uint16_t holdMs, uint8_t flags, uint8_t code);
    bool PulseRelay(unsigned relay, unsigned durationMs, uint8_t flags);
    bool SendCardMessage(uint32_t value, uint8_t mode, uint8_t flags, uint8_t code,
                         const std::string& identifier, const std::string& text);
    void btnBeepClick();
    void btnQuackClick();
    void btnTextClick();
    void btnRelayClick(const TControl& button);       // btnRelay1-4, Button1, Button2
    void btnWriteNumberClick(const TControl& button); // Button3, Button4
    void shInputMouseUp(int lamp);                    // 1 to 3
    void btnIntNetRestartClick();
    void btnCDevRestartClick();
    void btnCDevRestartContextPopup();
    void btnNetRestartClick();
    void ResetMenuChoose(uint8_t resetByte);
    void bntResetAllClick();
    void btnResetBehaviorClick();

    // ---- Settings workflows ----
    void ReadSetting(uint8_t item);
    void WriteSetting(uint8_t item, const std::string& value);
    void WriteSettingAndCommit(uint8_t item, const std::string& value);
    void BindByteMenuButton(TControl& button, uint8_t item, const std::string& caption);
    void ByteMenuPopup(const TControl& button); // click on btnLang, btnNoNet, btnLMode
    void ByteMenuChoose(int tag);
    int LockerCountLimit() const;
    void ReadButtonClick(const TControl& button); // the read buttons of the device page
    void btnGlobalSoundVolClick();
    void btnSetLEDBrightnessClick();
    void FingerButtonClick(const TControl& button); // the hidden items 22, 23, 28 buttons
    void btnNetCfgGetClick();
    void btnNetCfgSetClick();
    void FullDefaults();

    // ---- Lock kits, keep-alive, direct connect ----
    void btnLocksClick();
    void btnLocksContextPopup();
    bool BuildLockKitMenu(bool detailed);
    void WriteLockKit(size_t kit);
    void btnNetRepeatTestClick();
    void btnLlistReqClick();
    void tmrPingerTimer();
    void btnDirectConnectClick();
    bool BuildDirectConnectMenu();
    void DirectConnectChoose(const TMenuItem& entry);

    // ---- Remembered settings, log options, saving and exporting ----
    void cbLogOptionsChange(); // cbLogTimestamps, cbLogSent
    void btnSaveLogClick();
    void btnExportClick();
    void ExportDevices(bool shownOnly, bool json);
    // The remembered place of the window, if any; the view applies it when
    // it first shows and hands the place back when it closes.
    std::optional<WindowGeometry> RememberedGeometry() const;
    void RememberGeometry(const WindowGeometry& geometry);

    // ---- State ----
    IReaderLink* Reader() const { return reader_.get(); }
    std::string LastNetConfig;
    TRFIDReaderPacket LastPacket;
    TMenuLockInfoArr LockKits;

    // ---- Controls ----
    ChangeTracker Changes; // first: every control reports to it
    TControl pnToolBar;
    TControl btnDisconnect;
    TPageControl pcMain;
    TControl tsMain;
    TControl tsDevice;
    // discovery page
    TControl btnScan;
    DeviceListBox lbDeviceList;
    TControl labFilter;
    TEdit edFilter;
    TControl Label1; // "UDP Flag:", the caption of cbUDPFlag
    TComboBox cbUDPFlag;
    TControl labInterface;
    TComboBox cbInterface; // "All interfaces", then each interface a scan can reach
    TControl btnExport;
    TControl btnNetCfgGet;
    TControl btnNetCfgSet;
    TControl btnNetRestart;
    TControl btnDirectConnect;
    TControl bntResetAll; // "Reset All": asks, then resets every controller in range (command 41)
    TCheckBox CheckBox1;  // "ADRH", hidden; nothing reads it
    TControl btnLlistReq;
    // device page
    TControl labConnecting;
    TControl pnDevice;
    TControl Label2; // "Input states: ", the caption of the input lamps
    TControl shInput1;
    TControl shInput2;
    TControl shInput3;
    TTrackBar trbVolume;
    TControl btnBeep;
    TControl btnQuack;
    TControl btnText;
    TControl btnRelay1;
    TControl btnRelay2;
    TControl btnRelay3;
    TControl btnRelay4;
    TControl Button1; // "AP On": relay 3 pulse, 0 ms (tag 0)
    TControl Button2; // "AP Off": relay 3 pulse, 3150 ms (tag 1)
    TControl Label5;  // "LED", the caption of cbLEDBrightness
    TComboBox cbLEDBrightness;
    TControl btnSetLEDBrightness;
    TControl Label6; // "LLMC:", the caption of cbLLMC (lockers list row count)
    TComboBox cbLLMC;
    TControl btnLang;
    TControl btnNoNet;
    TControl btnLMode;
    TControl btnEditKeys;
    TControl btnLocks;
    TControl btnDBWaitTMO;
    TControl btnNetCfgEdit;
    TControl btnIntNetRestart;
    TControl btnCDevRestart;
    TControl btnRelayOpenTime;
    TControl btnEditOptoFlagsClose;
    TControl btnEditOptoFlagsOpen;
    TControl btnEditOptoFlagsRHold;
    TControl btnEditAuthFlags;
    TControl btnDebugFlags;
    TControl btnGlobalSoundVol;
    TControl btnFullDefs;
    TCheckBox cbTermDefs;
    TCheckBox cbPreRes;
    TControl btnResetBehavior;
    TControl Button5; // "USART Cfg", hidden: edit the USART settings (item 48)
    TControl btnNetRepeatTest;
    TControl btnSetUseFinger;
    TControl btnSetNotUseFinger;
    TControl btnSetFingerTest;
    TControl btnSetNoFingerTest;
    TControl btnFingerShot;
    TControl btnFingerRaw;
    // card panel
    TControl pnCard;
    TControl labUID;
    TControl Label3; // "Шкаф" (cabinet), the heading over labCab
    TControl Label4; // "Ячейка" (cell), the heading over labCell
    TControl labCab;
    TControl labCell;
    TControl Button3; // "Write": cabinet number (tag 62, block 62)
    TControl Button4; // "Write": cell number (tag 33, block 33)
    // log, status bar, timer, menus
    TCheckBox cbLogTimestamps;
    TCheckBox cbLogSent;
    TControl btnSaveLog;
    MemoLog memLog;
    TControl sbMain;
    TTimer tmrPinger;
    TPopupMenu pmReset;
    TPopupMenu pmDirectConnect;
    TPopupMenu pmByteMenu;
    TPopupMenu pmLocks;
    TPopupMenu pmExport;

private:
    void Post(IMainThread::Message message, std::function<void()> task);
    void DisconnectSequence();
    void HandleCardRead(const TRFIDReaderPacket& packet);
    void EnablePinger();
    // Runs a discovery-page send for the selected device (or every device in
    // range without a selection); refuses and logs when the selected entry has
    // no address, which would otherwise make it a broadcast.
    bool SendToSelection(const std::function<void()>& send);
    TModalMsgObject::EditEntry EditorEntry(ConfigEditorMethod entry);
    TModalMsgObject::EditEntry LockersEditEntry();
    void SendReset(uint8_t resetByte);
    uint8_t Volume() const;
    void BuildResetMenu();
    void BuildExportMenu();
    // One traffic-log line; a sent-packet line shows only where asked for.
    void Log(std::string line, bool sentPacket);
    // Re-reads the interfaces into cbInterface, keeping the choice.
    void RefreshInterfaces();
    // Where discovery goes now; false (logged) when the choice cannot be
    // reached, and then untargeted UDP goes nowhere.
    bool ApplyDiscoveryTargets();
    void ChooseInterface(const std::string& name);
    void LoadRememberedSettings();
    std::optional<std::string> Recall(const std::string& key) const;
    void Remember(const std::string& key, const std::string& value);
    // The interface to start with: the option, else the remembered choice.
    std::string StartInterface() const;

    // The three one-byte settings with their buttons and plain captions.
    struct ByteMenuBinding {
        TControl& button;
        uint8_t item;
        const char* caption;
    };
    std::array<ByteMenuBinding, 3> ByteMenuBindings();
    void BindByteMenuButtons();

    ReaderFactory readerFactory_;
    IMainThread& mainThread_;
    IWindowServices& services_;
    IConfigEditors& editors_;
    std::unique_ptr<IReaderLink> reader_;
    std::shared_ptr<TRFIDMainForm*> lifetime_; // posted tasks run only while it lives
    IMainThread::TimerId pingerTimer_ = 0;
    VelkorOptions options_;
    ISettingsStore* settings_ = nullptr;
    bool settingsUnsaved_ = false; // the last change could not be written
    InterfaceSource interfaceSource_ = GetNetworkInterfaces;
    RouteSource routeSource_ = LimitedBroadcastSource;
    tNetworkInterfaceList interfaces_;
    std::optional<uint32_t> limitedSource_; // read with the interfaces
    // The interface name behind each item of cbInterface ("" for all).
    std::vector<std::string> interfaceNames_;
    TrafficLogFile logFile_;
    std::string lastDirectTarget_; // what the DirectTCP prompt starts from
};

} // namespace velkor
