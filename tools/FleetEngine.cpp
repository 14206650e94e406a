#include "tools/FleetEngine.h"

#include "base/IPv4Text.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tools/SimStateFile.h"

namespace sim {
namespace {

// A client whose answers pile up past this is not read until it catches up.
constexpr std::size_t kOutPauseBytes = 16 * 1024;
// A client this far behind never reads: it is dropped.
constexpr std::size_t kOutLimitBytes = 64 * 1024;
constexpr int kMaxEvents = 256;
// UDP work per round, counted in controllers addressed: a broadcast makes
// every controller answer, so a burst of them must not keep the TCP clients
// waiting. At least one datagram is handled per round.
constexpr std::size_t kUdpRecipientsPerRound = 4096;
constexpr uint32_t kLimitedBroadcast = 0xFFFFFFFFu;
constexpr int kReadsPerRound = 16;
constexpr int kAcceptsPerRound = 64;
constexpr int kIdleWaitMs = 1000;
// Descriptors kept free beyond the listeners: UDP, epoll, wake-up, the
// reserve, standard streams, a control port and some connections.
constexpr std::size_t kSpareDescriptors = 64;

enum Kind : uint64_t { kUdp = 1, kWake = 2, kListener = 3, kConnection = 4 };
constexpr int kKindShift = 56;
constexpr uint64_t Tag(Kind kind, uint64_t value) {
    return (uint64_t{kind} << kKindShift) | value;
}

} // namespace

FleetEngine::FleetEngine(FleetOptions fleet_options)
    : options(std::move(fleet_options)), random_(std::random_device{}()) {
}

FleetEngine::~FleetEngine() {
    Stop();
}

bool FleetEngine::Start(std::string* error) {
    if (running) {
        return true;
    }
    if (options.encipher && options.key.empty()) {
        *error = "the cipher key must not be empty";
        return false;
    }
    if (!OpenAll(error) || !LoadState(error)) {
        std::lock_guard lock(mutex);
        controllers.clear();
        by_address.clear();
        by_broadcast.clear();
        everyone_.clear();
        udp_.Reset();
        epoll_.Reset();
        wake_.Reset();
        reserve_.Reset();
        return false;
    }
    keep_alive_ms = options.keep_alive_interval.count();
    started_ = Clock::now();
    next_keep_alive_ = started_ + std::chrono::milliseconds(keep_alive_ms.load());
    stop_requested_ = false;
    running = true;
    loop_ = std::thread([this] { Run(); });
    return true;
}

void FleetEngine::Stop() {
    if (!running) {
        return;
    }
    stop_requested_ = true;
    Wake();
    loop_.join();
    std::lock_guard lock(mutex);
    SaveState();
    connections.clear();
    for (auto& controller : controllers) {
        controller.connections.clear();
        controller.listener.Reset();
    }
    pending_ = {};
    udp_.Reset();
    epoll_.Reset();
    wake_.Reset();
    reserve_.Reset();
    running = false;
    state_changed.notify_all();
}

bool FleetEngine::OpenAll(std::string* error) {
    std::vector<uint32_t> addresses;
    if (options.addresses.empty()) {
        const auto first = base::ParseIPv4HostOrder(options.first_address);
        if (!first) {
            *error = "not an IPv4 address: " + options.first_address;
            return false;
        }
        addresses = GenerateAddresses(*first, options.count, error);
        if (addresses.empty()) {
            if (error->empty()) {
                *error = "the fleet needs at least one controller";
            }
            return false;
        }
    } else {
        for (const auto& text : options.addresses) {
            const auto address = base::ParseIPv4HostOrder(text);
            if (!address) {
                *error = "not an IPv4 address: " + text;
                return false;
            }
            addresses.push_back(*address);
        }
    }
    const std::size_t limit = RaiseOpenFileLimit();
    if (addresses.size() + kSpareDescriptors > limit) {
        *error = std::to_string(addresses.size()) + " controllers need " +
                 std::to_string(addresses.size() + kSpareDescriptors) +
                 " open files; the limit is " + std::to_string(limit);
        return false;
    }
    udp_ = OpenFleetUdpSocket(options.udp_port, error);
    if (!udp_.valid()) {
        return false;
    }
    udp_port = LocalPort(udp_.get());
    epoll_ = Fd(epoll_create1(EPOLL_CLOEXEC));
    wake_ = Fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    reserve_ = Fd(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    if (!epoll_.valid() || !wake_.valid()) {
        *error = ErrnoText("epoll");
        return false;
    }
    auto watch = [this](int fd, uint64_t tag) {
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.u64 = tag;
        return epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, fd, &event) == 0;
    };
    watch(udp_.get(), Tag(kUdp, 0));
    watch(wake_.get(), Tag(kWake, 0));

    std::lock_guard lock(mutex);
    controllers.clear();
    by_address.clear();
    by_broadcast.clear();
    everyone_.clear();
    controllers.reserve(addresses.size());
    loopback_only_ = true;
    for (std::size_t index = 0; index < addresses.size(); ++index) {
        const uint32_t address = addresses[index];
        if (!by_address.emplace(address, index).second) {
            *error = "address given twice: " + base::IPv4TextFromHostOrder(address);
            return false;
        }
        loopback_only_ = loopback_only_ && IsLoopback(address);
        Fd listener = OpenListener(address, options.tcp_port, error);
        if (!listener.valid()) {
            return false;
        }
        ControllerIdentity identity{index,
                                    address,
                                    base::IPv4TextFromHostOrder(address),
                                    MacForIndex(index),
                                    LocalPort(listener.get()),
                                    udp_port};
        if (!watch(listener.get(), Tag(kListener, index))) {
            *error = ErrnoText("epoll");
            return false;
        }
        controllers.push_back(Controller{identity, std::move(listener), SettingsStore(identity)});
        by_broadcast[SubnetBroadcast(address)].push_back(index);
        everyone_.push_back(index);
    }
    return true;
}

bool FleetEngine::LoadState(std::string* error) {
    if (options.state_file.empty()) {
        return true;
    }
    std::vector<SavedSetting> saved;
    if (!LoadStateFile(options.state_file, &saved, error)) {
        return false;
    }
    std::lock_guard lock(mutex);
    for (const auto& setting : saved) {
        const auto address = base::ParseIPv4HostOrder(setting.address);
        const auto found = by_address.find(*address);
        if (found != by_address.end()) {
            controllers[found->second].settings.Write(setting.item, setting.value);
        }
    }
    return true;
}

void FleetEngine::SaveState() {
    if (options.state_file.empty() || !state_dirty_) {
        return;
    }
    std::vector<SavedSetting> saved;
    for (const auto& controller : controllers) {
        for (auto& [item, value] : controller.settings.Changed()) {
            saved.push_back({controller.identity.address_text, item, std::move(value)});
        }
    }
    std::string error;
    if (SaveStateFile(options.state_file, saved, &error)) {
        state_dirty_ = false;
    }
}

void FleetEngine::Wake() {
    const uint64_t one = 1;
    if (wake_.valid()) {
        [[maybe_unused]] const ssize_t ignored = ::write(wake_.get(), &one, sizeof one);
    }
}

void FleetEngine::Run() {
    epoll_event events[kMaxEvents];
    while (!stop_requested_) {
        const int count = epoll_wait(epoll_.get(), events, kMaxEvents, NextTimeoutMs(Clock::now()));
        std::vector<std::string> lines;
        {
            std::lock_guard lock(mutex);
            for (int i = 0; i < count; ++i) {
                HandleEvent(events[i].data.u64, events[i].events);
            }
            RunTimers(Clock::now());
            SweepDoomed();
            SaveState();
            lines.swap(sink_lines_);
            if (state_changed_) {
                state_changed_ = false;
                state_changed.notify_all();
            }
        }
        if (sink) {
            for (const auto& line : lines) {
                sink(line);
            }
        }
    }
}

void FleetEngine::HandleEvent(uint64_t tag, uint32_t events) {
    const uint64_t value = tag & ((uint64_t{1} << kKindShift) - 1);
    switch (static_cast<Kind>(tag >> kKindShift)) {
    case kUdp:
        DrainUdp();
        break;
    case kWake: {
        uint64_t counter = 0;
        [[maybe_unused]] const ssize_t ignored = ::read(wake_.get(), &counter, sizeof counter);
        break;
    }
    case kListener:
        AcceptAll(value);
        break;
    case kConnection:
        if (events & (EPOLLIN | EPOLLHUP | EPOLLERR | EPOLLRDHUP)) {
            ReadConnection(value);
        }
        if (events & EPOLLOUT) {
            WriteConnection(value);
        }
        break;
    }
}

void FleetEngine::DrainUdp() {
    uint8_t buffer[2048];
    Datagram datagram;
    // What is left waits in the socket: the descriptor stays readable.
    for (std::size_t addressed = 0; addressed < kUdpRecipientsPerRound;) {
        if (!ReceiveDatagram(udp_.get(), buffer, sizeof buffer, &datagram)) {
            return;
        }
        addressed += std::max<std::size_t>(HandleDatagram(buffer, datagram), 1);
    }
}

std::span<const std::size_t> FleetEngine::Recipients(uint32_t destination) const {
    if (const auto own = by_address.find(destination); own != by_address.end()) {
        return {&own->second, 1};
    }
    if (destination == kLimitedBroadcast) {
        return everyone_;
    }
    if (const auto subnet = by_broadcast.find(destination); subnet != by_broadcast.end()) {
        return subnet->second;
    }
    return {};
}

std::size_t FleetEngine::HandleDatagram(const uint8_t* bytes, const Datagram& datagram) {
    // A loopback fleet listens on the wildcard address; it answers loopback
    // senders only, so nothing on a real network ever sees it.
    if (loopback_only_ && !IsLoopback(ntohl(datagram.from.sin_addr.s_addr))) {
        return 0;
    }
    const std::span<const std::size_t> targets = Recipients(datagram.destination);
    // A datagram carries one packet; bytes after it are ignored, as the
    // configurator does with the controllers' datagrams.
    const auto total = static_cast<uint16_t>(std::min<std::size_t>(datagram.size, UINT16_MAX));
    uint16_t position = 0;
    velkor::eproto_header header{};
    if (targets.empty() ||
        velkor::eproto_decode(bytes, &position, total, &header) != velkor::EPROTO_DECODE_OK) {
        return targets.size();
    }
    // Answers to a broadcast may be spread out; an answer to the controller's
    // own address goes at once.
    const bool spread =
        options.discovery_jitter.count() > 0 && !by_address.contains(datagram.destination);
    for (const std::size_t index : targets) {
        Controller& controller = controllers[index];
        Record(controller, Transport::Udp, header);
        const Outcome outcome = Answer(controller, header);
        if (!outcome.reply) {
            continue;
        }
        PendingAnswer answer{Clock::now(), controller.identity.address, datagram.from,
                             EncodePacket(*outcome.reply, OutgoingKey())};
        if (spread) {
            std::uniform_int_distribution<long long> delay(0, options.discovery_jitter.count());
            answer.due += std::chrono::milliseconds(delay(random_));
            pending_.push(std::move(answer));
        } else {
            SendDatagramFrom(udp_.get(), answer.source, answer.to, answer.bytes);
        }
    }
    return targets.size();
}

Outcome FleetEngine::Answer(Controller& controller, const velkor::eproto_header& header) {
    const auto uptime = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - started_);
    const Outcome outcome = AnswerPacket(
        header, ControllerView{controller.identity, controller.settings, controller.input_states,
                               static_cast<uint32_t>(uptime.count())});
    state_dirty_ = state_dirty_ || outcome.settings_written;
    return outcome;
}

void FleetEngine::Record(Controller& controller, Transport transport,
                         const velkor::eproto_header& header) {
    ReceivedRecord record{controller.next_sequence++,
                          transport,
                          header.cmd,
                          header.flags,
                          header.code,
                          std::string(reinterpret_cast<const char*>(header.data), header.len)};
    if (sink) {
        sink_lines_.push_back(RecordToJson(controller.identity.address_text, record));
    }
    controller.received.push_back(std::move(record));
    while (controller.received.size() > std::max<std::size_t>(options.record_limit, 1)) {
        controller.received.pop_front();
    }
    state_changed_ = true;
}

void FleetEngine::AcceptAll(std::size_t index) {
    Controller& controller = controllers[index];
    for (int i = 0; i < kAcceptsPerRound; ++i) {
        Fd client(
            accept4(controller.listener.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!client.valid()) {
            if (errno != EMFILE && errno != ENFILE) {
                return;
            }
            // Out of descriptors: free the reserve to take the waiting
            // connection and close it at once, or it would wake us forever.
            reserve_.Reset();
            Fd refused(accept4(controller.listener.get(), nullptr, nullptr, SOCK_CLOEXEC));
            refused.Reset();
            reserve_ = Fd(::open("/dev/null", O_RDONLY | O_CLOEXEC));
            return;
        }
        if (controller.connections.size() >= options.max_connections) {
            continue; // refused: closed when `client` goes
        }
        const uint64_t id = next_connection_id_++;
        epoll_event event{};
        event.events = EPOLLIN | EPOLLRDHUP;
        event.data.u64 = Tag(kConnection, id);
        if (epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, client.get(), &event) != 0) {
            continue;
        }
        Connection& connection = connections[id];
        connection.fd = std::move(client);
        connection.controller = index;
        controller.connections.push_back(id);
        state_changed_ = true;
    }
}

void FleetEngine::ReadConnection(uint64_t id) {
    const auto found = connections.find(id);
    if (found == connections.end() || found->second.doomed) {
        return;
    }
    Connection& connection = found->second;
    Controller& controller = controllers[connection.controller];
    char buffer[4096];
    for (int i = 0; i < kReadsPerRound && connection.out.size() < kOutPauseBytes; ++i) {
        const ssize_t n = ::recv(connection.fd.get(), buffer, sizeof buffer, MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            break;
        }
        if (n <= 0) {
            connection.doomed = true;
            return;
        }
        connection.packets.Feed(std::string_view(buffer, static_cast<std::size_t>(n)),
                                [&](const velkor::eproto_header& header) {
                                    Record(controller, Transport::Tcp, header);
                                    const Outcome outcome = Answer(controller, header);
                                    if (outcome.reply) {
                                        QueueOut(id, EncodePacket(*outcome.reply, OutgoingKey()));
                                    }
                                });
        if (connection.doomed) {
            return;
        }
    }
    UpdateEvents(id, connection);
}

bool FleetEngine::QueueOut(uint64_t id, const std::string& bytes) {
    Connection& connection = connections.at(id);
    if (connection.doomed) {
        return false;
    }
    connection.out += bytes;
    WriteConnection(id);
    if (connection.out.size() > kOutLimitBytes) {
        connection.doomed = true;
        Wake();
        return false;
    }
    return true;
}

void FleetEngine::WriteConnection(uint64_t id) {
    const auto found = connections.find(id);
    if (found == connections.end() || found->second.doomed) {
        return;
    }
    Connection& connection = found->second;
    while (!connection.out.empty()) {
        const ssize_t n = ::send(connection.fd.get(), connection.out.data(), connection.out.size(),
                                 MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        }
        if (n < 0) {
            connection.doomed = true;
            return;
        }
        connection.out.erase(0, static_cast<std::size_t>(n));
    }
    UpdateEvents(id, connection);
}

void FleetEngine::UpdateEvents(uint64_t id, Connection& connection) {
    epoll_event event{};
    event.events = (connection.out.size() < kOutPauseBytes ? EPOLLIN | EPOLLRDHUP : 0u) |
                   (connection.out.empty() ? 0u : EPOLLOUT);
    event.data.u64 = Tag(kConnection, id);
    epoll_ctl(epoll_.get(), EPOLL_CTL_MOD, connection.fd.get(), &event);
}

void FleetEngine::SweepDoomed() {
    for (auto it = connections.begin(); it != connections.end();) {
        if (!it->second.doomed) {
            ++it;
            continue;
        }
        auto& list = controllers[it->second.controller].connections;
        list.erase(std::remove(list.begin(), list.end(), it->first), list.end());
        it = connections.erase(it);
        state_changed_ = true;
    }
}

std::size_t FleetEngine::SendToConnections(std::size_t index, const OutPacket& packet) {
    if (index >= controllers.size() || packet.data.size() > velkor::EPROTO_MAX_DATA) {
        return 0;
    }
    const std::string bytes = EncodePacket(packet, OutgoingKey());
    std::size_t sent = 0;
    for (const uint64_t id : controllers[index].connections) {
        sent += QueueOut(id, bytes) ? 1 : 0;
    }
    return sent;
}

void FleetEngine::SetKeepAliveInterval(std::chrono::milliseconds interval) {
    {
        std::lock_guard lock(mutex);
        keep_alive_ms = interval.count();
        next_keep_alive_ = Clock::now() + interval;
    }
    Wake();
}

void FleetEngine::RunTimers(Clock::time_point now) {
    while (!pending_.empty() && pending_.top().due <= now) {
        const PendingAnswer& answer = pending_.top();
        SendDatagramFrom(udp_.get(), answer.source, answer.to, answer.bytes);
        pending_.pop();
    }
    const long long interval = keep_alive_ms;
    if (interval <= 0 || now < next_keep_alive_) {
        return;
    }
    next_keep_alive_ = now + std::chrono::milliseconds(interval);
    for (std::size_t index = 0; index < controllers.size(); ++index) {
        if (!controllers[index].connections.empty()) {
            SendToConnections(
                index,
                OutPacket{velkor::contract::kKeepAlive, 0, controllers[index].input_states, {}});
        }
    }
}

int FleetEngine::NextTimeoutMs(Clock::time_point now) const {
    auto next = now + std::chrono::milliseconds(kIdleWaitMs);
    std::lock_guard lock(mutex);
    if (!pending_.empty()) {
        next = std::min(next, pending_.top().due);
    }
    if (keep_alive_ms > 0) {
        next = std::min(next, next_keep_alive_);
    }
    if (next <= now) {
        return 0;
    }
    // Round up so that a wake-up never comes just before the deadline.
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count() + 1);
}

} // namespace sim
