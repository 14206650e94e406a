#include "ui/main/URfidForm.h"

#include "device/DeviceCommands.h"
#include "protocol/ControllerContract.h"
#include "protocol/Win1251.h"
#include "protocol/eproto.h"
#include "ui/main/FormSettings.h"
#include "ui/main/LocalTime.h"

namespace velkor {

namespace {

// The network record a fresh window starts from: MAC 90-A2-DA-0F-36-4F,
// 192.168.0.243/255.255.255.0, gateway 192.168.0.1, ports 3052, 8080 and 80.
constexpr const char* kDefaultNetConfigHex = "90A2DA0F364FC0A800F3FFFFFF00C0A80001EC0B901F5000";
constexpr unsigned kPingerIntervalMs = 5000;

} // namespace

TRFIDMainForm::TRFIDMainForm(ReaderFactory readerFactory, IMainThread& mainThread,
                             IWindowServices& services, IConfigEditors& editors)
    : pnToolBar(Changes, "pnToolBar"), btnDisconnect(Changes, "btnDisconnect", "<< Disconnect"),
      pcMain(Changes, "pcMain"), tsMain(Changes, "tsMain"), tsDevice(Changes, "tsDevice"),
      btnScan(Changes, "btnScan", "Scan"), lbDeviceList(Changes, "lbDeviceList"),
      labFilter(Changes, "labFilter", "Filter:"), edFilter(Changes, "edFilter"),
      Label1(Changes, "Label1", "UDP Flag:"),
      cbUDPFlag(Changes, "cbUDPFlag", {"IP", "SubNet", "AllNet"}, 0),
      labInterface(Changes, "labInterface", "Interface:"),
      cbInterface(Changes, "cbInterface", {kAllInterfaces}, 0),
      btnExport(Changes, "btnExport", "Export..."),
      btnNetCfgGet(Changes, "btnNetCfgGet", "NetCfg Get"),
      btnNetCfgSet(Changes, "btnNetCfgSet", "NetCfg Set"),
      btnNetRestart(Changes, "btnNetRestart", "NetRestart"),
      btnDirectConnect(Changes, "btnDirectConnect", "DirectTCP"),
      bntResetAll(Changes, "bntResetAll", "Reset All"),
      CheckBox1(Changes, "CheckBox1", "ADRH", false),
      btnLlistReq(Changes, "btnLlistReq", "LListReq", false),
      labConnecting(Changes, "labConnecting", "Connecting..."), pnDevice(Changes, "pnDevice"),
      Label2(Changes, "Label2", "Input states: "), shInput1(Changes, "shInput1"),
      shInput2(Changes, "shInput2"), shInput3(Changes, "shInput3"),
      trbVolume(Changes, "trbVolume", 0, 255, 255), btnBeep(Changes, "btnBeep", "Beep"),
      btnQuack(Changes, "btnQuack", "Quack"), btnText(Changes, "btnText", "Text"),
      btnRelay1(Changes, "btnRelay1", "Relay 1 (200ms)"),
      btnRelay2(Changes, "btnRelay2", "Relay 2 (200ms)"),
      btnRelay3(Changes, "btnRelay3", "Relay 3 (200ms)"),
      btnRelay4(Changes, "btnRelay4", "Relay 4 (200ms)"), Button1(Changes, "Button1", "AP On"),
      Button2(Changes, "Button2", "AP Off"), Label5(Changes, "Label5", "LED"),
      cbLEDBrightness(Changes, "cbLEDBrightness", {"1", "2", "3", "4", "5", "6", "7", "8"}, 7),
      btnSetLEDBrightness(Changes, "btnSetLEDBrightness", "Set"),
      Label6(Changes, "Label6", "LLMC:"), cbLLMC(Changes, "cbLLMC", {"5", "6"}, 1),
      btnLang(Changes, "btnLang", "Lang"), btnNoNet(Changes, "btnNoNet", "NoNet"),
      btnLMode(Changes, "btnLMode", "LMode"), btnEditKeys(Changes, "btnEditKeys", "Edit Keys"),
      btnLocks(Changes, "btnLocks", "Locks"), btnDBWaitTMO(Changes, "btnDBWaitTMO", "DB Wait Tmo"),
      btnNetCfgEdit(Changes, "btnNetCfgEdit", "NetCfg Edit"),
      btnIntNetRestart(Changes, "btnIntNetRestart", "NetRestart"),
      btnCDevRestart(Changes, "btnCDevRestart", "Restart"),
      btnRelayOpenTime(Changes, "btnRelayOpenTime", "RelayOpenTime"),
      btnEditOptoFlagsClose(Changes, "btnEditOptoFlagsClose", "OR Close Flags"),
      btnEditOptoFlagsOpen(Changes, "btnEditOptoFlagsOpen", "OR Open Flags"),
      btnEditOptoFlagsRHold(Changes, "btnEditOptoFlagsRHold", "OR RHold Flags"),
      btnEditAuthFlags(Changes, "btnEditAuthFlags", "Auth Flags NLA"),
      btnDebugFlags(Changes, "btnDebugFlags", "Debug Flags"),
      btnGlobalSoundVol(Changes, "btnGlobalSoundVol", "Global Sound Vol"),
      btnFullDefs(Changes, "btnFullDefs", "Full Defs"),
      cbTermDefs(Changes, "cbTermDefs", "TermDefs"), cbPreRes(Changes, "cbPreRes", "PreRes"),
      btnResetBehavior(Changes, "btnResetBehavior", "Reset Behavior", false),
      Button5(Changes, "Button5", "USART Cfg", false),
      btnNetRepeatTest(Changes, "btnNetRepeatTest", "Check Locks", false),
      btnSetUseFinger(Changes, "btnSetUseFinger", "Set use finger", false),
      btnSetNotUseFinger(Changes, "btnSetNotUseFinger", "Set not use finger", false),
      btnSetFingerTest(Changes, "btnSetFingerTest", "Set finger test", false),
      btnSetNoFingerTest(Changes, "btnSetNoFingerTest", "Set no finger test", false),
      btnFingerShot(Changes, "btnFingerShot", "GameDev_On", false),
      btnFingerRaw(Changes, "btnFingerRaw", "GameDev_Off", false), pnCard(Changes, "pnCard"),
      labUID(Changes, "labUID"), Label3(Changes, "Label3", Win1251FromUtf8("Шкаф")),
      Label4(Changes, "Label4", Win1251FromUtf8("Ячейка")), labCab(Changes, "labCab", "000"),
      labCell(Changes, "labCell", "000"), Button3(Changes, "Button3", "Write"),
      Button4(Changes, "Button4", "Write"),
      cbLogTimestamps(Changes, "cbLogTimestamps", "Timestamps"),
      cbLogSent(Changes, "cbLogSent", "Sent packets"),
      btnSaveLog(Changes, "btnSaveLog", "Save Log..."), memLog(Changes, "memLog"),
      sbMain(Changes, "sbMain"), tmrPinger(Changes, "tmrPinger", kPingerIntervalMs),
      pmReset(Changes, "pmReset"), pmDirectConnect(Changes, "pmDirectConnect"),
      pmByteMenu(Changes, "pmByteMenu"), pmLocks(Changes, "pmLocks"), pmExport(Changes, "pmExport"),
      readerFactory_(std::move(readerFactory)), mainThread_(mainThread), services_(services),
      editors_(editors), lifetime_(std::make_shared<TRFIDMainForm*>(this)) {
    TControl* relays[] = {&btnRelay1, &btnRelay2, &btnRelay3, &btnRelay4};
    for (int i = 0; i < 4; ++i) {
        relays[i]->SetTag(i);
    }
    Button1.SetTag(0);
    Button2.SetTag(1);
    Button3.SetTag(62);
    Button4.SetTag(33);
    trbVolume.SetHint("Sound Volume");
    edFilter.SetHint("Shows the devices with this text in any column");
    cbInterface.SetHint("Where \"Scan\" and commands to every device go");
    cbLogTimestamps.SetHint("Milliseconds of the local time before each log line");
    cbLogSent.SetHint("A log line for every packet sent, with its address");
    cbLLMC.SetColour(clWindow);
    for (TControl* lamp : {&shInput1, &shInput2, &shInput3}) {
        lamp->SetColour(clSilver);
    }
    BuildResetMenu();
    BuildExportMenu();
}

TRFIDMainForm::~TRFIDMainForm() {
    FormDestroy();
}

void TRFIDMainForm::SetStartOptions(VelkorOptions options) {
    options_ = std::move(options);
}

void TRFIDMainForm::SetSettingsStore(ISettingsStore* store) {
    settings_ = store;
}

void TRFIDMainForm::SetInterfaceSource(InterfaceSource source, RouteSource route) {
    interfaceSource_ = std::move(source);
    routeSource_ = std::move(route);
}

bool TRFIDMainForm::OpenLogFile(std::string* error) {
    return options_.LogFile.empty() ||
           logFile_.Open(options_.LogFile, options_.LogFileMaxBytes, error);
}

void TRFIDMainForm::FormCreate() {
    BuildLockKits(LockKits);
    LastNetConfig = eproto_hex_to_bytes(kDefaultNetConfigHex);
    reader_ = readerFactory_();
    reader_->SetKey(contract::kPacketKey);
    IReaderLink::Events events;
    events.OnDatagram = [this](const TRFIDReaderDatagram& d) { ReaderDatagram(d); };
    events.OnPacket = [this](const TRFIDReaderPacket& p) { ReaderPacket(p); };
    events.OnDevice = [this](const DiscoveryAnswer& a) { ReaderDevice(a); };
    events.OnError = [this](const std::string& e) { ReaderError(e); };
    events.OnSent = [this](const ReaderSend& s) { ReaderSent(s); };
    events.OnDropped = [this](std::size_t count) { ReaderDropped(count); };
    events.OnCaughtUp = [this](std::size_t count) { AddLog(CaughtUpLogLine(count)); };
    reader_->SetEvents(std::move(events));
    reader_->Start();
    LoadRememberedSettings();
    cbUDPFlagChange();
    RefreshInterfaces();
    if (!options_.BroadcastAddress) {
        ChooseInterface(StartInterface());
    }
    ApplyDiscoveryTargets();
    pcMain.SetTabsVisible(false);
    ShowMainPage();
}

void TRFIDMainForm::FormDestroy() {
    if (tmrPinger.Enabled()) {
        mainThread_.StopTimer(pingerTimer_);
        tmrPinger.SetEnabled(false);
    }
    lifetime_.reset();
    reader_.reset();
}

void TRFIDMainForm::Post(IMainThread::Message message, std::function<void()> task) {
    mainThread_.PostWindowMessage(
        message, [alive = std::weak_ptr<TRFIDMainForm*>(lifetime_), task = std::move(task)] {
            if (!alive.expired()) {
                task();
            }
        });
}

void TRFIDMainForm::AddLog(std::string line) {
    Log(std::move(line), false);
}

void TRFIDMainForm::Log(std::string line, bool sentPacket) {
    const bool fileStamps = options_.LogTimestamps.value_or(true);
    const bool screenStamps = cbLogTimestamps.Checked();
    const std::string stamp =
        fileStamps || screenStamps ? ClockText(std::chrono::system_clock::now()) + " " : "";
    if (logFile_.IsOpen() && (!sentPacket || options_.LogSent.value_or(true))) {
        logFile_.Write(fileStamps ? stamp + line : line);
    }
    if (!sentPacket || cbLogSent.Checked()) {
        memLog.Add(screenStamps ? stamp + line : std::move(line));
    }
}

void TRFIDMainForm::ShowMainPage() {
    pnToolBar.SetVisible(false);
    pcMain.SetActivePage(tsMain);
}

void TRFIDMainForm::ShowConnecting() {
    pcMain.SetActivePage(tsDevice);
    pnDevice.SetVisible(false);
    labConnecting.SetVisible(true);
    pnCard.SetVisible(false);
    pnToolBar.SetVisible(true);
}

void TRFIDMainForm::ReaderDatagram(const TRFIDReaderDatagram& datagram) {
    AddLog(DatagramLogLine(datagram));
}

void TRFIDMainForm::ReaderPacket(const TRFIDReaderPacket& packet) {
    LastPacket = packet;
    // Each queued dispatch carries its own packet, so that two arrivals before
    // the queue runs are both handled, each once.
    Post(IMainThread::Message::DispatchPacket, [this, packet] {
        LastPacket = packet;
        DispatchPacket();
    });
}

void TRFIDMainForm::ReaderError(const std::string& text) {
    AddLog("tcp error: " + text);
    DisconnectSequence();
}

void TRFIDMainForm::ReaderSent(const ReaderSend& send) {
    Log(SentLogLine(send), true);
}

void TRFIDMainForm::ReaderDropped(std::size_t count) {
    AddLog(DroppedLogLine(count));
}

} // namespace velkor
