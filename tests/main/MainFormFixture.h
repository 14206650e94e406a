// A main window driven without sockets or a toolkit: a recording reader, the
// deterministic main-thread queue on a manual clock, scripted editors and
// window services.
#pragma once

#include "protocol/Win1251.h"
#include "protocol/eproto.h"
#include "session/QueuedMainThread.h"
#include "ui/main/URfidForm.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velkor {

// One command as the reader was asked to send it.
struct SentCommand {
    uint8_t cmd = 0;
    uint8_t code = 0;
    uint8_t flags = 0;
    std::string data;
    std::string target; // UDPTarget at the time of the send
    bool connected = false;
};

// What the fake reader saw; outlives the reader so that shut-down can be checked.
struct ReaderRecord {
    std::vector<SentCommand> sent;
    std::vector<std::string> calls; // SetKey, Start, Connect, Disconnect, Discover, destroyed
    std::string key;
    uint8_t udpFlag = 3;
    std::string udpTarget;
    bool connected = false;
    bool connectSucceeds = true;
    std::string connectHost;
    int connectPort = 0;
    std::vector<std::string> broadcastAddresses;
    std::vector<std::string> commandAddresses;
    IReaderLink::DatagramEvent onDatagram;
    IReaderLink::PacketEvent onPacket;
    IReaderLink::DeviceEvent onDevice;
    IReaderLink::ErrorEvent onError;
    IReaderLink::SendEvent onSent;
    IReaderLink::DroppedEvent onDropped;
    IReaderLink::CaughtUpEvent onCaughtUp;
};

class FakeReader final : public IReaderLink {
public:
    explicit FakeReader(std::shared_ptr<ReaderRecord> record) : r_(std::move(record)) {}
    ~FakeReader() override { r_->calls.push_back("destroyed"); }

    void SetEvents(Events events) override {
        r_->onDatagram = std::move(events.OnDatagram);
        r_->onPacket = std::move(events.OnPacket);
        r_->onDevice = std::move(events.OnDevice);
        r_->onError = std::move(events.OnError);
        r_->onSent = std::move(events.OnSent);
        r_->onDropped = std::move(events.OnDropped);
        r_->onCaughtUp = std::move(events.OnCaughtUp);
    }
    void SetKey(const std::string& key) override {
        r_->key = key;
        r_->calls.push_back("SetKey");
    }
    void Start() override { r_->calls.push_back("Start"); }
    bool Connect(const std::string& host, int port, unsigned timeout_ms) override {
        r_->calls.push_back("Connect " + host + ":" + std::to_string(port) + " " +
                            std::to_string(timeout_ms));
        r_->connected = r_->connectSucceeds;
        return r_->connected;
    }
    bool Disconnect(unsigned timeout_ms) override {
        r_->calls.push_back("Disconnect " + std::to_string(timeout_ms));
        r_->connected = false;
        return true;
    }
    bool IsConnected() const override { return r_->connected; }
    void SendCommand(uint8_t cmd, uint8_t code, uint8_t flags) override {
        Record(cmd, {}, code, flags);
    }
    bool SendCommandData(uint8_t cmd, const std::string& data, uint8_t code,
                         uint8_t flags) override {
        if (data.size() > 135) {
            return false;
        }
        Record(cmd, data, code, flags);
        return true;
    }
    void Discover() override {
        r_->calls.push_back("Discover");
        r_->udpTarget.clear();
        Record(7, {}, 0, 0);
    }
    void SetUDPFlag(uint8_t flag) override { r_->udpFlag = flag; }
    uint8_t UDPFlag() const override { return r_->udpFlag; }
    void SetUDPTarget(const std::string& target) override { r_->udpTarget = target; }
    std::string UDPTarget() const override { return r_->udpTarget; }
    void SetBroadcastAddresses(std::vector<std::string> addresses) override {
        r_->commandAddresses = addresses;
        r_->broadcastAddresses = std::move(addresses);
    }
    void SetCommandAddresses(std::vector<std::string> addresses) override {
        r_->commandAddresses = std::move(addresses);
    }

private:
    void Record(uint8_t cmd, const std::string& data, uint8_t code, uint8_t flags) {
        // Over UDP the reader puts its own flag into the header.
        const uint8_t wireFlags = r_->connected ? flags : r_->udpFlag;
        r_->sent.push_back({cmd, code, wireFlags, data, r_->udpTarget, r_->connected});
    }
    std::shared_ptr<ReaderRecord> r_;
};

class FakeServices final : public IWindowServices {
public:
    bool ctrl = false;
    bool answerYes = false;
    std::vector<std::string> questions;
    std::vector<std::string> popups; // "<menu> below <control>" or "<menu> at mouse"
    std::map<std::string, std::vector<std::string>> files;
    std::optional<std::string> savePath; // the answer of every save dialog
    std::vector<std::string> saveAsks;   // "<caption>|<file name>|<pattern>"
    std::string clipboard;

    bool IsCtrlDown() const override { return ctrl; }
    void Popup(const TPopupMenu& menu, const TControl* below) override {
        popups.push_back(menu.Name() + (below ? " below " + below->Name() : " at mouse"));
    }
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        questions.push_back(caption + "|" + text);
        return answerYes;
    }
    std::optional<std::vector<std::string>> ReadLines(const std::string& name) override {
        const auto found = files.find(name);
        if (found == files.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    std::optional<std::string> AskSaveFileName(const std::string& caption,
                                               const std::string& fileName, const std::string&,
                                               const std::string& pattern) override {
        saveAsks.push_back(caption + "|" + fileName + "|" + pattern);
        return savePath;
    }
    void SetClipboardText(const std::string& text) override { clipboard = text; }
};

class FakeSettings final : public ISettingsStore {
public:
    std::map<std::string, std::string> values;
    bool writable = true;
    std::optional<std::string> Read(const std::string& key) const override {
        const auto found = values.find(key);
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    bool Write(const std::string& key, const std::string& value, std::string& error) override {
        if (!writable) {
            error = "cannot write the settings file";
            return false;
        }
        values[key] = value;
        return true;
    }
};

// Two networks and the loopback, as the system would list them.
inline tNetworkInterfaceList FakeInterfaces() {
    const auto entry = [](const char* name, const char* ip, const char* mask, unsigned flags) {
        tNetworkInterface made = MakeNetworkInterface("PC", *KVT_ParseIPv4NetworkOrder(ip),
                                                      *KVT_ParseIPv4NetworkOrder(mask), 0, flags);
        made.InterfaceName = name;
        return made;
    };
    const unsigned lan = sockplat::kIfUp | sockplat::kIfBroadcast;
    return {entry("lo", "127.0.0.1", "255.0.0.0", sockplat::kIfUp | sockplat::kIfLoopback),
            entry("eth0", "192.168.1.10", "255.255.255.0", lan),
            entry("wlan0", "10.20.30.40", "255.255.240.0", lan)};
}

class FakeEditors final : public IConfigEditors {
public:
    using Script = std::function<std::string(const std::string& value, const std::string& caption)>;
    std::map<std::string, Script> scripts;
    std::vector<std::string> calls;
    std::string stringAnswer;
    std::optional<DisplayText> displayText;
    std::optional<int32_t> cardNumber;

    std::string EditNetConfig(const std::string& v, const std::string& c) override {
        return Run("EditNetConfig", v, c);
    }
    std::string EditSectorKeys(const std::string& v, const std::string& c) override {
        return Run("EditSectorKeys", v, c);
    }
    std::string EditLockersList(const std::string& v, const std::string& c) override {
        return Run("EditLockersList", v, c);
    }
    std::string EditUSARTConfig(const std::string& v, const std::string& c) override {
        return Run("EditUSARTConfig", v, c);
    }
    std::string EditOptoFlags(const std::string& v, const std::string& c) override {
        return Run("EditOptoFlags", v, c);
    }
    std::string EditDebugFlags(const std::string& v, const std::string& c) override {
        return Run("EditDebugFlags", v, c);
    }
    std::string EditAuthFlags(const std::string& v, const std::string& c) override {
        return Run("EditAuthFlags", v, c);
    }
    std::string EditWaitTimeout(const std::string& v, const std::string& c) override {
        return Run("EditWaitTimeout", v, c);
    }
    std::string EditRelayOpenTime(const std::string& v, const std::string& c) override {
        return Run("EditRelayOpenTime", v, c);
    }
    std::string InputString(const std::string& initial, const std::string& caption) override {
        calls.push_back("InputString|" + caption + "|" + initial);
        return stringAnswer;
    }
    std::optional<DisplayText> InputDisplayText() override {
        calls.push_back("InputDisplayText");
        return displayText;
    }
    std::optional<int32_t> InputCardNumber() override {
        calls.push_back("InputCardNumber");
        return cardNumber;
    }

private:
    std::string Run(const std::string& name, const std::string& value, const std::string& caption) {
        calls.push_back(name + "|" + caption + "|" + eproto_bytes_to_hex(value));
        const auto script = scripts.find(name);
        return script == scripts.end() ? std::string() : script->second(value, caption);
    }
};

inline std::string Hex(const std::string& bytes) {
    return eproto_bytes_to_hex(bytes);
}
inline std::string Bytes(const std::string& hex) {
    return eproto_hex_to_bytes(hex);
}
inline std::string W(const char* utf8) {
    return Win1251FromUtf8(utf8);
}

class MainFormTest : public ::testing::Test {
protected:
    MainFormTest()
        : reader(std::make_shared<ReaderRecord>()),
          form([record = reader] { return std::make_unique<FakeReader>(record); }, main, services,
               editors) {
        form.SetSettingsStore(&settings);
        form.SetInterfaceSource(
            [this](tNetworkInterfaceList& list) {
                list = interfaces;
                return true;
            },
            [this] { return limitedSource; });
    }

    void SetUp() override { form.FormCreate(); }

    // A device answers: the reader's packet event, then the queued dispatch.
    void Receive(uint8_t cmd, const std::string& data, uint8_t flags = 0, uint8_t code = 0) {
        TRFIDReaderPacket packet;
        packet.cmd = cmd;
        packet.flags = flags;
        packet.code = code;
        packet.data = data;
        reader->onPacket(packet);
        ProcessAll();
    }

    // Runs queued work, including what that work queues in turn.
    void ProcessAll() {
        while (main.PendingCount() > 0) {
            main.ProcessMessages();
        }
    }

    void Connect() {
        form.ConnectTo("10.0.0.9", 8080);
        reader->sent.clear();
    }

    // The sent commands as "cmd:code:flags:datahex" texts, and forget them.
    std::vector<std::string> TakeSent() {
        std::vector<std::string> texts;
        for (const SentCommand& c : reader->sent) {
            texts.push_back(std::to_string(c.cmd) + ":" + std::to_string(c.code) + ":" +
                            std::to_string(c.flags) + ":" + Hex(c.data));
        }
        reader->sent.clear();
        return texts;
    }

    const std::string& LastLog() const { return form.memLog.Lines().back(); }

    // A discovery answer as the reader hands it on.
    static DiscoveryAnswer Device(const std::string& ip, const std::string& macHex) {
        DiscoveryAnswer answer;
        answer.Items.MAC = Bytes(macHex);
        answer.Items.IPText = ip;
        if (const auto address = KVT_ParseIPv4NetworkOrder(ip)) {
            answer.Items.IP = *address;
        }
        answer.Items.TCPPort = 8080;
        answer.FromIP = ip;
        answer.FromPort = 3052;
        return answer;
    }

    std::shared_ptr<ReaderRecord> reader;
    QueuedMainThread main{QueuedMainThread::Clock::Manual};
    FakeServices services;
    FakeEditors editors;
    FakeSettings settings;
    tNetworkInterfaceList interfaces = FakeInterfaces();
    // The limited broadcast leaves by eth0, as by a default route there.
    std::optional<uint32_t> limitedSource = KVT_ParseIPv4NetworkOrder("192.168.1.10");
    TRFIDMainForm form;
};

} // namespace velkor
