#include "session/RFIDReader.h"

#include "protocol/PacketBytes.h"
#include "session/PacketRecord.h"

#include <chrono>
#include <thread>

namespace velkor {

namespace {

constexpr auto kIdlePause = std::chrono::milliseconds(10);
constexpr auto kWaitGranularity = std::chrono::milliseconds(10);
// One drain slice: short enough that the window answers input between two
// slices well within a frame, long enough to list a large fleet quickly.
constexpr auto kDrainSlice = std::chrono::milliseconds(4);
// At most this many arrivals a slice: each packet posts its own dispatch,
// which runs before the next slice and is not timed, so this bounds the
// dispatch work between two turns of the event loop as well (at 512, a flood
// kept a click waiting up to 40 ms in a debug build, at 128 under 20 ms).
constexpr int kDrainSliceArrivals = 128;
// While arrivals keep being dropped, the window hears of it this often.
constexpr auto kDropReportInterval = std::chrono::seconds(1);

} // namespace

TRFIDReader::TRFIDReader(IMainThread& main_thread) : main_thread_(main_thread) {
}

TRFIDReader::~TRFIDReader() {
    stop_ = true;
    Wake();
    if (thread_.joinable()) {
        thread_.join();
    }
    // Only after the worker has ended: it copies the lifetime token into the
    // tasks it posts. Posted tasks run on this (the main) thread, so none can
    // run between the join and the reset.
    lifetime_.reset();
    std::lock_guard lock(tcp_mutex_);
    tcp_.reset();
}

void TRFIDReader::SetNetSettings(const ReaderNetSettings& settings) {
    settings_ = settings;
    SetBroadcastAddresses(settings.BroadcastAddresses);
}

void TRFIDReader::SetBroadcastAddresses(std::vector<std::string> addresses) {
    std::lock_guard lock(fields_mutex_);
    command_addresses_ = addresses;
    broadcast_addresses_ = std::move(addresses);
}

void TRFIDReader::SetCommandAddresses(std::vector<std::string> addresses) {
    std::lock_guard lock(fields_mutex_);
    command_addresses_ = std::move(addresses);
}

void TRFIDReader::SetEvents(Events events) {
    events_ = std::move(events);
}

void TRFIDReader::SetKey(const std::string& key) {
    std::lock_guard lock(fields_mutex_);
    key_ = key;
}

std::string TRFIDReader::Key() const {
    std::lock_guard lock(fields_mutex_);
    return key_;
}

void TRFIDReader::Start() {
    if (thread_.joinable()) {
        return;
    }
    // The endpoint exists before the worker runs, so sends from the main
    // thread never meet a half-made socket.
    udp_ = std::make_unique<TKVT_UDPSocket>();
    udp_->LocalAddress = settings_.LocalUdpAddress;
    udp_->LocalPort = settings_.LocalUdpPort;
    udp_->SetBufferSize(kUdpBufferSize);
    udp_->SystemReceiveBuffer = kUdpSystemReceiveBuffer;
    udp_->OnRead = [this](const std::string& data, const std::string& from_ip, uint16_t port) {
        OnDatagramReceived(data, from_ip, port);
    };
    udp_->Open();
    thread_ = std::thread([this] { Run(); });
}

uint16_t TRFIDReader::LocalUdpPort() const {
    return udp_ ? udp_->BoundPort() : 0;
}

// ---- Worker ----

void TRFIDReader::Run() {
    while (!stop_) {
        if (Round() > 0) {
            continue;
        }
        std::unique_lock lock(wake_mutex_);
        wake_cv_.wait_for(lock, kIdlePause, [&] { return wake_ || stop_; });
        wake_ = false;
    }
}

void TRFIDReader::Wake() {
    {
        std::lock_guard lock(wake_mutex_);
        wake_ = true;
    }
    wake_cv_.notify_all();
}

int TRFIDReader::Round() {
    // A received datagram counts as work: a burst is drained without pauses.
    int work = udp_->Receive() > 0 ? 1 : 0;
    work += StateStep();
    return work;
}

int TRFIDReader::StateStep() {
    int work = 0;
    uint8_t state = state_.load();
    if (state & rsConnectRequest) {
        OpenSession();
        // A request made meanwhile by the main thread stays for the next step.
        state_.compare_exchange_strong(state, rsConnecting);
        work = 1;
    } else if (state & rsDisconnectRequest) {
        CloseSession();
        state_.compare_exchange_strong(state, 0);
        work = 1;
    }
    if (state_.load() != 0 && tcp_ && tcp_->Poll() != 0) {
        ++work;
    }
    return work;
}

void TRFIDReader::OpenSession() {
    CloseSession();
    std::string host;
    int port = 0;
    {
        std::lock_guard lock(fields_mutex_);
        host = host_;
        port = port_;
    }
    auto tcp = std::make_unique<TKVT_TCPSocket>(host, port);
    tcp->OnConnect = [this](const std::string&) {
        uint8_t expected = rsConnecting;
        state_.compare_exchange_strong(expected, rsConnected);
    };
    tcp->OnRead = [this](const std::string& chunk) { OnStreamChunk(chunk); };
    tcp->OnError = [this](const std::string& text) {
        ReaderArrival arrival;
        arrival.error = text;
        Queue(std::move(arrival), true); // an error is never dropped
        // Queued first: a Connect that returns on this finds the error waiting.
        session_failed_ = true;
    };
    stream_.Reset();
    stream_backlog_ = 0;
    session_failed_ = false;
    // A failure shows later as a TCP error or as a Connect that times out.
    tcp->Open();
    std::lock_guard lock(tcp_mutex_);
    tcp_ = std::move(tcp);
}

void TRFIDReader::CloseSession() {
    std::lock_guard lock(tcp_mutex_);
    tcp_.reset();
}

void TRFIDReader::OnDatagramReceived(const std::string& data, const std::string& from_ip,
                                     uint16_t port) {
    TRFIDReaderDatagram datagram{data, from_ip, port};
    // Only a packet at the very start counts; bytes after it are ignored.
    uint16_t position = 0;
    eproto_header header{};
    if (eproto_decode(reinterpret_cast<const uint8_t*>(datagram.data.data()), &position,
                      static_cast<uint16_t>(datagram.data.size()), &header) != EPROTO_DECODE_OK) {
        ReaderArrival arrival;
        arrival.datagram = std::move(datagram);
        Queue(std::move(arrival));
        return;
    }
    QueuePacket(header, std::move(datagram));
}

void TRFIDReader::OnStreamChunk(const std::string& chunk) {
    stream_.Feed(chunk, [this](const eproto_header& header) { QueuePacket(header, std::nullopt); });
    stream_backlog_ = stream_.Backlog();
}

void TRFIDReader::QueuePacket(const eproto_header& header,
                              std::optional<TRFIDReaderDatagram> datagram) {
    ReaderArrival arrival;
    TRFIDReaderPacket& packet = arrival.packet.emplace();
    FillPacketRecord(packet, header, Key());
    if (datagram) {
        packet.Datagram = *datagram;
        arrival.datagram = std::move(datagram);
    }
    if (events_.OnDevice) {
        arrival.answer = DiscoveryAnswerOf(packet);
    }
    Queue(std::move(arrival));
}

void TRFIDReader::Queue(ReaderArrival arrival, bool mustKeep) {
    if (arrivals_.Push(std::move(arrival), mustKeep) != ArrivalQueue::PushResult::QueuedFirst) {
        return;
    }
    main_thread_.Post([alive = std::weak_ptr<TRFIDReader*>(lifetime_)] {
        if (const auto reader = alive.lock()) {
            (*reader)->DrainArrivals();
        }
    });
}

// ---- Main thread: raising the arrivals ----

void TRFIDReader::DrainArrivals() {
    const std::weak_ptr<TRFIDReader*> alive = lifetime_;
    const auto end = std::chrono::steady_clock::now() + kDrainSlice;
    for (int raised = 0;; ++raised) {
        if (raised == kDrainSliceArrivals || std::chrono::steady_clock::now() > end) {
            ReportDrops(false);
            main_thread_.Post([alive] {
                if (const auto reader = alive.lock()) {
                    (*reader)->DrainArrivals();
                }
            });
            return;
        }
        std::optional<ReaderArrival> arrival = arrivals_.Take();
        if (!arrival) {
            ReportDrops(true);
            ReportCaughtUp();
            return;
        }
        Raise(*arrival);
        if (alive.expired()) {
            return; // a handler ended the reader
        }
    }
}

void TRFIDReader::Raise(const ReaderArrival& arrival) const {
    if (arrival.error) {
        if (events_.OnError) {
            events_.OnError(*arrival.error);
        }
        return;
    }
    if (arrival.datagram && events_.OnDatagram) {
        events_.OnDatagram(*arrival.datagram);
    }
    if (arrival.packet && events_.OnPacket) {
        events_.OnPacket(*arrival.packet);
    }
    if (arrival.answer && events_.OnDevice) {
        events_.OnDevice(*arrival.answer);
    }
}

void TRFIDReader::ReportDrops(bool queueEmpty) {
    const auto now = std::chrono::steady_clock::now();
    if (!queueEmpty && now - last_drop_report_ < kDropReportInterval) {
        return;
    }
    const std::size_t dropped = arrivals_.TakeDropped();
    if (dropped == 0) {
        return;
    }
    last_drop_report_ = now;
    dropped_since_empty_ += dropped;
    if (events_.OnDropped) {
        events_.OnDropped(dropped);
    }
}

void TRFIDReader::ReportCaughtUp() {
    const std::size_t dropped = std::exchange(dropped_since_empty_, 0);
    if (dropped == 0) {
        return;
    }
    // Posted behind the packet dispatches that the last slice posted.
    main_thread_.Post([alive = std::weak_ptr<TRFIDReader*>(lifetime_), dropped] {
        if (const auto reader = alive.lock(); reader && (*reader)->events_.OnCaughtUp) {
            (*reader)->events_.OnCaughtUp(dropped);
        }
    });
}

// ---- Main thread ----

template <typename Done> bool TRFIDReader::WaitFor(unsigned timeout_ms, Done done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        if (done()) {
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now > end) {
            return false;
        }
        std::this_thread::sleep_for(
            std::min(kWaitGranularity, std::chrono::ceil<std::chrono::milliseconds>(end - now)));
    }
}

bool TRFIDReader::Connect(const std::string& host, int port, unsigned timeout_ms) {
    {
        std::lock_guard lock(fields_mutex_);
        host_ = host;
        port_ = port;
    }
    state_ = rsConnectRequest;
    Wake();
    if (timeout_ms == 0) {
        return true;
    }
    WaitFor(timeout_ms, [this] {
        const uint8_t state = state_.load();
        // Done when connected, when another request replaced this one, or
        // when the attempt has failed and can no longer succeed.
        return (state & rsConnected) || !(state & (rsConnectRequest | rsConnecting)) ||
               ((state & rsConnecting) && session_failed_.load());
    });
    return IsConnected();
}

bool TRFIDReader::Disconnect(unsigned timeout_ms) {
    state_ = rsDisconnectRequest;
    Wake();
    if (timeout_ms == 0) {
        return true;
    }
    return WaitFor(timeout_ms, [this] { return state_.load() == 0; });
}

bool TRFIDReader::IsConnected() const {
    return (state_.load() & rsConnected) != 0;
}

void TRFIDReader::SendCommand(uint8_t cmd, uint8_t code, uint8_t flags) {
    Send(cmd, {}, code, flags);
}

bool TRFIDReader::SendCommandData(uint8_t cmd, const std::string& data, uint8_t code,
                                  uint8_t flags) {
    if (data.size() > EPROTO_MAX_DATA) {
        return false;
    }
    Send(cmd, data, code, flags);
    return true;
}

void TRFIDReader::Discover() {
    SetUDPTarget({});
    SendCommand(contract::kDiscover, 0, 0);
}

void TRFIDReader::Send(uint8_t cmd, std::string_view data, uint8_t code, uint8_t flags) {
    const bool connected = IsConnected();
    TRFIDReaderPacket record;
    record.cmd = cmd;
    record.flags = connected ? flags : udp_flag_.load();
    record.code = code;
    record.data = data;
    const std::string packet = EncodePacket(record.cmd, record.data, record.flags, record.code);

    if (connected) {
        bool queued = false;
        std::string peer;
        {
            std::lock_guard lock(tcp_mutex_);
            if (tcp_) {
                queued = tcp_->Write(packet) > 0; // sent by the worker's next poll
                peer = tcp_->HostName + ":" + std::to_string(tcp_->Port);
            }
        }
        Wake(); // that poll comes now, not after the worker's idle pause
        ReportSend(record, true, peer, queued);
        return;
    }
    if (!udp_) {
        return;
    }
    std::vector<std::string> targets;
    {
        std::lock_guard lock(fields_mutex_);
        if (!udp_target_.empty()) {
            targets = {udp_target_};
        } else {
            targets = cmd == contract::kDiscover ? broadcast_addresses_ : command_addresses_;
        }
    }
    for (const std::string& target : targets) {
        const int sent = udp_->SendToHost(packet, target, settings_.ControllerUdpPort);
        ReportSend(record, false, target + ":" + std::to_string(settings_.ControllerUdpPort),
                   sent >= 0);
    }
}

void TRFIDReader::ReportSend(const TRFIDReaderPacket& packet, bool tcp, std::string to,
                             bool ok) const {
    if (!events_.OnSent) {
        return;
    }
    ReaderSend send;
    send.packet = packet;
    send.tcp = tcp;
    send.to = std::move(to);
    send.ok = ok;
    events_.OnSent(send);
}

void TRFIDReader::SetUDPFlag(uint8_t flag) {
    udp_flag_ = flag;
}

uint8_t TRFIDReader::UDPFlag() const {
    return udp_flag_.load();
}

void TRFIDReader::SetUDPTarget(const std::string& target) {
    std::lock_guard lock(fields_mutex_);
    udp_target_ = target;
}

std::string TRFIDReader::UDPTarget() const {
    std::lock_guard lock(fields_mutex_);
    return udp_target_;
}

} // namespace velkor
