// TKVT_TCPSocket against a real peer on 127.0.0.1.
#include "tests/net/NetTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace velkor {

using namespace nettest;

namespace {

// Records every event of one socket in order.
struct EventLog {
    explicit EventLog(TKVT_TCPSocket& socket) {
        socket.OnConnect = [this](const std::string&) { entries.push_back("connect"); };
        socket.OnError = [this, &socket](const std::string& text) {
            errors.push_back(text);
            closed_when_error_raised = !socket.IsOpen();
        };
        socket.OnRead = [this](const std::string& bytes) {
            read += bytes;
            read_chunks.push_back(bytes);
        };
        socket.OnWrite = [this](const std::string& bytes) {
            entries.push_back("write");
            written += bytes;
            write_chunks.push_back(bytes);
        };
    }
    std::vector<std::string> entries;
    std::vector<std::string> errors;
    bool closed_when_error_raised = false;
    std::string read;
    std::vector<std::string> read_chunks;
    std::string written;
    std::vector<std::string> write_chunks;
};

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    }
    return bytes;
}

std::string ErrorPrefix(const char* label, int code) {
    return std::string(label) + ": ecode[" + std::to_string(code) + "], estr[";
}

// An open client with its accepted peer and the connect already reported.
struct Connection {
    LoopbackListener listener;
    TKVT_TCPSocket client{kLoopback, listener.Port()};
    EventLog log{client};
    std::unique_ptr<PeerConnection> peer_end;

    bool Establish() {
        if (!client.Open()) {
            return false;
        }
        peer_end = std::make_unique<PeerConnection>(listener.Accept());
        return peer_end->Valid() && PollUntil(client, [&] { return client.IsConnected(); });
    }
    PeerConnection& peer() { return *peer_end; }
};

} // namespace

TEST(TcpSocket, WriteWithoutSocketQueuesNothing) {
    TKVT_TCPSocket socket(kLoopback, UnusedPort());
    EventLog log(socket);
    EXPECT_EQ(socket.Write("early"), 0);
    EXPECT_EQ(socket.PendingBytes(), 0u);
    EXPECT_EQ(socket.Poll(), 0);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_TRUE(log.errors.empty());
}

TEST(TcpSocket, BytesWrittenWhileConnectingLeaveRightAfterConnect) {
    LoopbackListener listener;
    TKVT_TCPSocket client(kLoopback, listener.Port());
    EventLog log(client);
    ASSERT_TRUE(client.Open());
    EXPECT_EQ(client.Write("hello, "), 7);
    EXPECT_EQ(client.Write("controller"), 10);
    EXPECT_EQ(client.PendingBytes(), 17u);
    PeerConnection peer(listener.Accept());
    ASSERT_TRUE(peer.Valid());

    ASSERT_TRUE(PollUntil(client, [&] { return !log.written.empty(); }));
    ASSERT_GE(log.entries.size(), 2u);
    EXPECT_EQ(log.entries[0], "connect");
    EXPECT_EQ(log.entries[1], "write");
    EXPECT_EQ(log.written, "hello, controller");
    EXPECT_EQ(client.PendingBytes(), 0u);
    EXPECT_EQ(peer.ReceiveUpTo(17), "hello, controller");
    EXPECT_TRUE(log.errors.empty());
}

TEST(TcpSocket, PollReturnsEveryByteReadInItsRound) {
    Connection c;
    ASSERT_TRUE(c.Establish());
    ASSERT_TRUE(c.peer().SendAll("first chunk|"));
    ASSERT_TRUE(c.peer().SendAll("second"));
    std::this_thread::sleep_for(50ms); // both chunks wait for one poll

    // The first round that reads anything takes both chunks, and its result
    // is the sum of what its OnRead calls carried.
    int round = 0;
    ASSERT_TRUE(WaitFor([&] { return (round = c.client.Poll()) != 0; }, [] {}));
    EXPECT_EQ(round, 18);
    EXPECT_EQ(c.log.read.size(), 18u);
    EXPECT_EQ(c.log.read, "first chunk|second");
    EXPECT_TRUE(c.log.errors.empty());
}

TEST(TcpSocket, PartialSendKeepsTheRestQueued) {
    Connection c;
    ASSERT_TRUE(c.Establish());
    // Far more than the loopback's buffers hold while the peer does not read.
    const std::string data = Pattern(16u << 20);
    ASSERT_EQ(c.client.Write(data), static_cast<int>(data.size()));
    ASSERT_TRUE(PollUntil(c.client, [&] { return !c.log.write_chunks.empty(); }));

    const std::size_t first = c.log.write_chunks.front().size();
    ASSERT_LT(first, data.size());
    EXPECT_EQ(c.log.write_chunks.front(), data.substr(0, first));
    EXPECT_EQ(c.client.PendingBytes(), data.size() - first);

    std::string at_peer;
    ASSERT_TRUE(PollUntil(
        c.client,
        [&] {
            at_peer += c.peer().ReceiveAvailable();
            return at_peer.size() >= data.size();
        },
        60s));
    EXPECT_TRUE(at_peer == data);
    EXPECT_TRUE(c.log.written == data);
    EXPECT_GT(c.log.write_chunks.size(), 1u);
    EXPECT_EQ(c.client.PendingBytes(), 0u);
    EXPECT_TRUE(c.log.errors.empty());
}

TEST(TcpSocket, RefusedConnectionReportsESetAndCanBeOpenedAgain) {
    const uint16_t port = UnusedPort();
    TKVT_TCPSocket client(kLoopback, port);
    EventLog log(client);
    ASSERT_TRUE(client.Open());
    ASSERT_TRUE(PollUntil(client, [&] { return !log.errors.empty(); }));
    ASSERT_EQ(log.errors.size(), 1u);
    EXPECT_EQ(log.errors[0].rfind(ErrorPrefix("e_set", ConnectionRefusedCode()), 0), 0u)
        << log.errors[0];
    EXPECT_TRUE(log.closed_when_error_raised);
    EXPECT_FALSE(client.IsOpen());
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(client.Write("lost"), 0);

    // The same object connects once a listener is there.
    LoopbackListener listener;
    client.Port = listener.Port();
    ASSERT_TRUE(client.Open());
    PeerConnection peer(listener.Accept());
    ASSERT_TRUE(PollUntil(client, [&] { return client.IsConnected(); }));
    EXPECT_EQ(log.errors.size(), 1u);
}

TEST(TcpSocket, ResetByPeerGivesOneReadError) {
    Connection c;
    ASSERT_TRUE(c.Establish());
    c.peer().Reset();
    ASSERT_TRUE(PollUntil(c.client, [&] { return !c.log.errors.empty(); }));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(c.client.Poll(), 0);
    }
    ASSERT_EQ(c.log.errors.size(), 1u);
    if (RunningUnderWine()) {
        // Wine's recv returns 0 after a reset: it shows as an orderly close.
        EXPECT_EQ(c.log.errors[0], "read: connection closed by the peer");
    } else {
        EXPECT_EQ(c.log.errors[0].rfind(ErrorPrefix("read", ConnectionResetCode()), 0), 0u)
            << c.log.errors[0];
        EXPECT_EQ(c.log.errors[0].back(), ']');
    }
    EXPECT_TRUE(c.log.closed_when_error_raised);
    EXPECT_FALSE(c.client.IsConnected());
}

TEST(TcpSocket, OrderlyCloseByPeerIsReportedAfterItsLastBytes) {
    Connection c;
    ASSERT_TRUE(c.Establish());
    ASSERT_TRUE(c.peer().SendAll("bye"));
    c.peer().Close();
    ASSERT_TRUE(PollUntil(c.client, [&] { return !c.log.errors.empty(); }));
    EXPECT_EQ(c.log.read, "bye");
    ASSERT_EQ(c.log.errors.size(), 1u);
    EXPECT_EQ(c.log.errors[0], "read: connection closed by the peer");
    EXPECT_TRUE(c.log.closed_when_error_raised);
    EXPECT_EQ(c.client.Write("late"), 0);
}

TEST(TcpSocket, WriteFromAnotherThreadWhilePolling) {
    Connection c;
    ASSERT_TRUE(c.Establish());
    constexpr int kWrites = 2000;
    std::string expected;
    for (int i = 0; i < kWrites; ++i) {
        expected += "<" + std::to_string(i) + ">";
    }
    std::atomic<bool> writer_done{false};
    std::thread writer([&] {
        for (int i = 0; i < kWrites; ++i) {
            c.client.Write("<" + std::to_string(i) + ">");
        }
        writer_done = true;
    });
    std::string at_peer;
    const bool all_arrived = PollUntil(c.client, [&] {
        at_peer += c.peer().ReceiveAvailable();
        return writer_done && at_peer.size() >= expected.size();
    });
    writer.join();
    ASSERT_TRUE(all_arrived);
    EXPECT_EQ(at_peer, expected);
    EXPECT_EQ(c.log.written, expected);
}

TEST(TcpSocket, OpenAgainDropsTheOldConnectionAndItsQueue) {
    Connection c;
    ASSERT_TRUE(c.Establish());
    c.client.Write("never sent");
    ASSERT_TRUE(c.client.Open());
    EXPECT_EQ(c.client.PendingBytes(), 0u);
    EXPECT_FALSE(c.client.IsConnected());
    // The first peer sees its connection end without the queued bytes.
    std::string rest;
    EXPECT_TRUE(c.peer().WaitForEnd(rest));
    EXPECT_EQ(rest, "");
    PeerConnection second(c.listener.Accept());
    ASSERT_TRUE(second.Valid());
    ASSERT_TRUE(PollUntil(c.client, [&] { return c.client.IsConnected(); }));
    EXPECT_TRUE(c.log.errors.empty());
}

} // namespace velkor
