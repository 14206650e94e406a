// A fleet of simulated controllers with real sockets, for integration tests,
// benchmarks, end-to-end tests and users who have no hardware at hand.
//
// Every controller has its own IPv4 address, MAC, TCP listening socket and
// settings store. Discovery and UDP commands arrive on one shared UDP socket
// bound to the wildcard address (so that one broadcast reaches the whole
// fleet); each controller answers from its own address. All socket work runs
// on one background thread; every public member is thread-safe.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "protocol/ControllerContract.h"

namespace sim {

struct FleetOptions {
    // Explicit controller addresses (dotted IPv4). When empty, `count`
    // addresses are generated from `first_address` upwards, skipping host
    // parts that end in .0 or .255.
    std::vector<std::string> addresses;
    std::size_t count = 1;
    std::string first_address = "127.0.0.2";

    // 0 asks the system for a free port: for UDP one port shared by the
    // fleet, for TCP one port per controller (each reports its own in its
    // discovery answer). Tests use 0 so that parallel runs never collide.
    uint16_t udp_port = velkor::contract::kUdpPort;
    uint16_t tcp_port = velkor::contract::kDefaultTcpPort;

    // Interval of the keep-alives (command 6) sent on every open TCP
    // connection; zero switches them off.
    std::chrono::milliseconds keep_alive_interval{0};
    // Discovery answers are spread at random over this window; zero answers
    // at once.
    std::chrono::milliseconds discovery_jitter{0};

    // Encipher the data field of every outgoing packet that has data.
    bool encipher = false;
    std::string key = velkor::contract::kPacketKey;

    // Written settings survive a restart when this names a file.
    std::string state_file;

    // Bounds: received records kept per controller (oldest dropped first),
    // open TCP connections per controller.
    std::size_t record_limit = 4096;
    std::size_t max_connections = 8;
};

enum class Transport : uint8_t { Udp, Tcp };

// One packet a controller received.
struct ReceivedRecord {
    std::size_t sequence = 0; // per controller, counts from 0 and never repeats
    Transport transport = Transport::Tcp;
    uint8_t cmd = 0;
    uint8_t flags = 0;
    uint8_t code = 0;
    std::string data; // raw bytes
};

// {"controller":"127.0.0.2","seq":0,"transport":"tcp","cmd":9,"flags":0,"code":0,"data":"0801"}
std::string RecordToJson(const std::string& controller_address, const ReceivedRecord& record);

class FleetEngine;

class SimulatedFleet {
public:
    explicit SimulatedFleet(FleetOptions options);
    ~SimulatedFleet(); // stops the fleet
    SimulatedFleet(const SimulatedFleet&) = delete;
    SimulatedFleet& operator=(const SimulatedFleet&) = delete;

    // Opens every socket and starts the loop. On failure nothing is left open
    // and `error` (when given) says what failed.
    bool Start(std::string* error = nullptr);
    // Closes every socket and joins the loop; the state file is up to date.
    void Stop();
    bool Running() const;

    std::size_t Size() const;
    std::string Address(std::size_t index) const;
    std::string Mac(std::size_t index) const; // six raw bytes
    uint16_t TcpPort(std::size_t index) const;
    uint16_t UdpPort() const;
    // Index of the controller with this dotted address.
    std::optional<std::size_t> Find(const std::string& address) const;

    // Messages a controller sends on its own, over every open TCP
    // connection it has. Each returns the number of connections written to.
    std::size_t SendCardRead(std::size_t index, const std::string& data, uint8_t flags = 0,
                             uint8_t code = 0);
    std::size_t SendInputState(std::size_t index, uint8_t states);
    std::size_t SendUsartData(std::size_t index, const std::string& data);
    std::size_t SendCardPanelOff(std::size_t index);
    std::size_t SendKeepAlive(std::size_t index);

    // Input states carried by keep-alives and their replies (bits 0-2).
    void SetInputStates(std::size_t index, uint8_t states);
    void SetKeepAliveInterval(std::chrono::milliseconds interval);

    // Current value of a settings item (empty when the item is unknown).
    std::string Setting(std::size_t index, uint8_t item) const;
    bool SetSetting(std::size_t index, uint8_t item, const std::string& value);

    std::size_t ConnectionCount(std::size_t index) const;
    // Waits until the controller has accepted at least `count` connections
    // (a client's connect returns before the fleet has taken the connection).
    bool WaitForConnections(std::size_t index, std::size_t count,
                            std::chrono::milliseconds timeout) const;

    // Everything the controller received, oldest first.
    std::vector<ReceivedRecord> Received(std::size_t index) const;
    // Waits for the first record with `cmd` whose sequence is at least
    // `from_sequence`; nothing when the time-out passes first.
    std::optional<ReceivedRecord> WaitForReceived(std::size_t index, uint8_t cmd,
                                                  std::chrono::milliseconds timeout,
                                                  std::size_t from_sequence = 0) const;
    // Sequence number that the next received record will carry.
    std::size_t NextSequence(std::size_t index) const;
    void ClearReceived(std::size_t index);

    // Called on the loop thread with every received record as a JSON line.
    // Set before Start.
    void SetRecordSink(std::function<void(const std::string& json_line)> sink);

private:
    std::unique_ptr<FleetEngine> engine_;
};

} // namespace sim
