// TKVT_UDPSocket on loopback: unicast, loopback broadcast, buffer limits.
#include "tests/net/NetTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace velkor {

using namespace nettest;

namespace {

struct Datagram {
    std::string data;
    std::string from_ip;
    uint16_t from_port = 0;
};

// Collects every datagram the socket raises.
struct Inbox {
    explicit Inbox(TKVT_UDPSocket& socket) {
        socket.OnRead = [this](const std::string& data, const std::string& ip, uint16_t port) {
            received.push_back({data, ip, port});
        };
    }
    std::vector<Datagram> received;
};

// Receives until `count` datagrams are in or the time runs out.
bool ReceiveCount(TKVT_UDPSocket& socket, const Inbox& inbox, std::size_t count) {
    return WaitFor([&] { return inbox.received.size() >= count; }, [&] { socket.Receive(); });
}

void OpenOnLoopback(TKVT_UDPSocket& socket) {
    socket.LocalAddress = kLoopback;
    ASSERT_TRUE(socket.Open());
    ASSERT_NE(socket.BoundPort(), 0);
}

} // namespace

TEST(UdpSocket, UnicastRoundTripOnLoopback) {
    TKVT_UDPSocket controller;
    controller.SetBufferSize(512);
    OpenOnLoopback(controller);
    TKVT_UDPSocket configurator; // bound to any address, port of the system's choice
    configurator.SetBufferSize(512);
    ASSERT_TRUE(configurator.Open());
    Inbox at_controller(controller);
    Inbox at_configurator(configurator);

    // Nothing waiting: 0 and no event.
    EXPECT_EQ(controller.Receive(), 0);
    EXPECT_TRUE(at_controller.received.empty());

    const std::string request("\x2A\x07\x00\x00", 4);
    ASSERT_EQ(configurator.SendToHost(request, kLoopback, controller.BoundPort()), 4);
    ASSERT_TRUE(ReceiveCount(controller, at_controller, 1));
    const Datagram got = at_controller.received[0];
    EXPECT_EQ(got.data, request);
    EXPECT_EQ(got.from_ip, kLoopback);
    EXPECT_EQ(got.from_port, configurator.BoundPort());

    // The answer goes back to the sender's address and port.
    ASSERT_EQ(controller.SendTo("answer", {*KVT_ParseIPv4NetworkOrder(got.from_ip), got.from_port}),
              6);
    ASSERT_TRUE(ReceiveCount(configurator, at_configurator, 1));
    EXPECT_EQ(at_configurator.received[0].data, "answer");
    EXPECT_EQ(at_configurator.received[0].from_port, controller.BoundPort());
    EXPECT_EQ(at_controller.received.size(), 1u);
}

TEST(UdpSocket, LoopbackBroadcastReachesEveryReceiverSharingThePort) {
    TKVT_UDPSocket first;
    first.ReuseAddress = true;
    ASSERT_TRUE(first.Open());
    TKVT_UDPSocket second;
    second.ReuseAddress = true;
    second.LocalPort = first.BoundPort();
    ASSERT_TRUE(second.Open());
    Inbox first_inbox(first);
    Inbox second_inbox(second);

    TKVT_UDPSocket sender;
    ASSERT_TRUE(sender.Open());
    ASSERT_EQ(sender.SendToHost("scan", "127.255.255.255", first.BoundPort()), 4);
    ASSERT_TRUE(ReceiveCount(first, first_inbox, 1));
    ASSERT_TRUE(ReceiveCount(second, second_inbox, 1));
    EXPECT_EQ(first_inbox.received[0].data, "scan");
    EXPECT_EQ(second_inbox.received[0].data, "scan");
    EXPECT_EQ(first.Receive(), 0);
    EXPECT_EQ(second.Receive(), 0);
}

TEST(UdpSocket, DatagramLongerThanTheBufferIsDropped) {
    TKVT_UDPSocket receiver;
    receiver.SetBufferSize(512);
    OpenOnLoopback(receiver);
    Inbox inbox(receiver);
    TKVT_UDPSocket sender;
    ASSERT_TRUE(sender.Open());

    ASSERT_EQ(sender.SendToHost(std::string(600, 'x'), kLoopback, receiver.BoundPort()), 600);
    ASSERT_EQ(sender.SendToHost(std::string(512, 'y'), kLoopback, receiver.BoundPort()), 512);
    ASSERT_TRUE(ReceiveCount(receiver, inbox, 1));
    EXPECT_EQ(inbox.received[0].data, std::string(512, 'y'));
    EXPECT_EQ(receiver.Receive(), 0);
    EXPECT_EQ(inbox.received.size(), 1u);
}

TEST(UdpSocket, BufferSizeLimitsWhatIsReceived) {
    TKVT_UDPSocket receiver;
    EXPECT_EQ(receiver.BufferSize(), 15);
    OpenOnLoopback(receiver);
    Inbox inbox(receiver);
    TKVT_UDPSocket sender;
    ASSERT_TRUE(sender.Open());
    const uint16_t port = receiver.BoundPort();

    // The initial 15 bytes: a 16-byte datagram is lost, a 15-byte one arrives.
    sender.SendToHost(std::string(16, 'a'), kLoopback, port);
    sender.SendToHost(std::string(15, 'b'), kLoopback, port);
    ASSERT_TRUE(ReceiveCount(receiver, inbox, 1));
    EXPECT_EQ(inbox.received[0].data, std::string(15, 'b'));

    // The same size again keeps the socket working as before.
    receiver.SetBufferSize(15);
    sender.SendToHost("same size", kLoopback, port);
    ASSERT_TRUE(ReceiveCount(receiver, inbox, 2));
    EXPECT_EQ(inbox.received[1].data, "same size");

    // No buffer: every datagram is lost without an event.
    receiver.SetBufferSize(0);
    EXPECT_EQ(receiver.BufferSize(), 0);
    sender.SendToHost("x", kLoopback, port);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(receiver.Receive(), 0);

    receiver.SetBufferSize(512);
    sender.SendToHost("back", kLoopback, port);
    ASSERT_TRUE(ReceiveCount(receiver, inbox, 3));
    EXPECT_EQ(inbox.received[2].data, "back");
    EXPECT_EQ(inbox.received.size(), 3u);
}

TEST(UdpSocket, WithoutSocketNothingIsSentOrReceived) {
    TKVT_UDPSocket socket;
    Inbox inbox(socket);
    EXPECT_EQ(socket.SendToHost("x", kLoopback, 3052), -1);
    EXPECT_EQ(socket.Receive(), 0);
    EXPECT_EQ(socket.BoundPort(), 0);
    socket.LocalAddress = "not an address";
    EXPECT_FALSE(socket.Open());
    EXPECT_FALSE(socket.IsOpen());
    EXPECT_TRUE(inbox.received.empty());
}

TEST(UdpSocket, TextThatIsNotAnAddressSendsNothing) {
    // Were the text to become a broadcast, it would leave this machine:
    // only try it where no datagram can leave.
    if (!NetworkIsIsolated()) {
        GTEST_SKIP() << "needs a network namespace with only the loopback";
    }
    TKVT_UDPSocket receiver;
    receiver.ReuseAddress = true;
    ASSERT_TRUE(receiver.Open());
    Inbox inbox(receiver);
    TKVT_UDPSocket sender;
    ASSERT_TRUE(sender.Open());
    for (const char* target : {"", "controller", "1.2.3", "256.1.1.1", "127.0.0.1 "}) {
        EXPECT_EQ(sender.SendToHost("reset", target, receiver.BoundPort()), -1) << target;
    }
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(receiver.Receive(), 0);
    EXPECT_TRUE(inbox.received.empty());
}

TEST(UdpSocket, SendsFromAnotherThreadWhileReceiving) {
    TKVT_UDPSocket socket;
    socket.SetBufferSize(512);
    OpenOnLoopback(socket);
    constexpr int kDatagrams = 200; // well inside the default receive queue
    std::atomic<int> received{0};
    socket.OnRead = [&](const std::string&, const std::string&, uint16_t) { ++received; };
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!stop && std::chrono::steady_clock::now() < deadline) {
            if (socket.Receive() == 0) {
                std::this_thread::sleep_for(1ms);
            }
        }
    });
    int sent = 0;
    for (int i = 0; i < kDatagrams; ++i) {
        sent += socket.SendToHost("ping " + std::to_string(i), kLoopback, socket.BoundPort()) > 0;
    }
    const bool all = WaitFor([&] { return received == kDatagrams; }, [] {});
    stop = true;
    reader.join();
    EXPECT_EQ(sent, kDatagrams);
    EXPECT_TRUE(all);
    EXPECT_EQ(received, kDatagrams);
}

} // namespace velkor
