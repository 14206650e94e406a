#include "protocol/ControllerContract.h"
#include "protocol/eproto.h"
#include "tests/session/ReaderFixture.h"

#include <atomic>
#include <thread>

namespace velkor {

using namespace std::chrono_literals;

namespace {

std::string Hex(const std::string& bytes) {
    return eproto_bytes_to_hex(bytes, " ");
}

// A local TCP port where nothing listens.
uint16_t ClosedPort() {
    LoopbackTcpPeer peer;
    return peer.Port();
}

} // namespace

using ReaderUdp = ReaderFixture;
using ReaderTcp = ReaderFixture;
using ReaderLifetime = ReaderFixture;

TEST_F(ReaderUdp, DiscoverAndCommandsWithoutSessionGoByUdpWithTheUdpFlag) {
    StartReader();
    EXPECT_EQ(reader->UDPFlag(), 3);
    reader->Discover();
    EXPECT_EQ(Hex(controllers.Next()), "2A 07 00 00 03 00 30 00");

    reader->SetUDPFlag(1);
    reader->Discover();
    const std::string flagged = controllers.Next();
    EXPECT_EQ(Hex(flagged), Hex(EncodePacket(7, "", 1)));
    EXPECT_EQ(flagged[4], 1);
    EXPECT_NE(flagged[6], 0x30);

    // A target gets the command alone; Discover forgets the target again.
    reader->SetUDPTarget("127.0.0.1");
    reader->SendCommand(contract::kQuack, 4, 9); // flags replaced by the UDP flag
    EXPECT_EQ(Hex(controllers.Next()), Hex(EncodePacket(13, "", 1, 4)));
    reader->Discover();
    EXPECT_EQ(reader->UDPTarget(), "");
    EXPECT_EQ(Hex(controllers.Next()), Hex(EncodePacket(7, "", 1)));

    EXPECT_FALSE(reader->SendCommandData(contract::kDisplay, std::string(136, 'x'), 0, 0));
    EXPECT_TRUE(reader->SendCommandData(contract::kDisplay, std::string(135, 'y'), 0, 0));
    const std::string largest = controllers.Next();
    EXPECT_EQ(largest.size(), 143u);
    EXPECT_EQ(largest, EncodePacket(23, std::string(135, 'y'), 1));
    EXPECT_EQ(controllers.Next(300ms), ""); // the refused one was never sent
}

TEST_F(ReaderUdp, DatagramsRaiseTheirEventsInOrderAndDiscoveryAnswersADevice) {
    StartReader();
    const std::string answer = eproto_hex_to_bytes("0106001122AABBCC0204C0A800110602901F");
    SendToReader(EncodePacket(contract::kDiscoverReply, answer));
    SendToReader(EncodePacket(contract::kDiscover, answer));
    SendToReader("not a packet");
    SendToReader(EncodePacket(contract::kDiscoverReply, eproto_hex_to_bytes("060290")));
    ASSERT_TRUE(Pump([&] { return datagrams.size() == 4 && packets.size() == 3; }));

    EXPECT_EQ(std::string(order.begin(), order.end()), "DPVDPDDP");
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].Items.IPText, "192.168.0.17");
    EXPECT_EQ(devices[0].Items.TCPPort, 8080);
    EXPECT_EQ(Hex(devices[0].Items.MAC), "00 11 22 AA BB CC");
    EXPECT_EQ(devices[0].FromIP, "127.0.0.1");
    EXPECT_EQ(datagrams[2].data, "not a packet");
    EXPECT_EQ(datagrams[0].FromIP, "127.0.0.1");
    EXPECT_EQ(datagrams[0].FromPort, controllers.Port());
    ASSERT_EQ(packets.size(), 3u);
    EXPECT_EQ(packets[0].cmd, contract::kDiscoverReply);
    EXPECT_EQ(packets[0].data, answer);
    EXPECT_EQ(packets[0].Datagram.data, datagrams[0].data);
}

TEST_F(ReaderUdp, EncipheredPacketsArriveDecipheredWhenTheyCan) {
    StartReader("qzx");
    const std::string good = EncodeSealedPacket(contract::kCardRead, "04A1B2C3", "qzx");
    const std::string wrong_key = EncodeSealedPacket(contract::kCardRead, "04A1B2C3", "key");
    const std::string short_field = EncodeSealedPacket(contract::kCardRead, "", "qzx");
    for (const std::string& bytes : {good, wrong_key, short_field}) {
        SendToReader(bytes);
    }
    ASSERT_TRUE(Pump([&] { return packets.size() == 3; }));
    EXPECT_TRUE(packets[0].Decrypted);
    EXPECT_EQ(packets[0].data, "04A1B2C3");
    EXPECT_FALSE(packets[1].Decrypted);
    EXPECT_EQ(packets[1].data, wrong_key.substr(8));
    EXPECT_FALSE(packets[2].Decrypted);
    EXPECT_EQ(packets[2].data, short_field.substr(8));

    // Without a key nothing is deciphered.
    reader->SetKey("");
    SendToReader(good);
    ASSERT_TRUE(Pump([&] { return packets.size() == 4; }));
    EXPECT_FALSE(packets[3].Decrypted);
    EXPECT_EQ(packets[3].data, good.substr(8));
}

TEST_F(ReaderUdp, FloodOfGarbageAndValidDatagramsIsDrainedWithEveryValidPacket) {
    StartReader();
    std::size_t datagram_count = 0;
    std::size_t packet_count = 0;
    std::size_t last_packet_code = 0;
    bool in_order = true;
    IReaderLink::Events events;
    events.OnDatagram = [&](const TRFIDReaderDatagram&) { ++datagram_count; };
    events.OnPacket = [&](const TRFIDReaderPacket& packet) {
        in_order = in_order && packet.code == (last_packet_code + 1) % 256;
        last_packet_code = packet.code;
        ++packet_count;
    };
    reader->SetEvents(std::move(events));
    // Batches stay inside the default receive buffer (256 small datagrams),
    // so every loss would be the reader's.
#ifdef _WIN32
    // Wine's socket layer costs about ten times as much per datagram; a fifth
    // of the flood is still 100 batches that each nearly fill the buffer.
    constexpr std::size_t kTotal = 20000;
#else
    constexpr std::size_t kTotal = 100000;
#endif
    constexpr std::size_t kBatch = 200;
    std::size_t sent = 0;
    std::size_t valid = 0;
    std::string noise(40, '\x2A');
    while (sent < kTotal) {
        for (std::size_t i = 0; i < kBatch; ++i, ++sent) {
            if (sent % 2 == 0) {
                ++valid;
                SendToReader(EncodePacket(contract::kCardRead, "card", 0,
                                          static_cast<uint8_t>(valid % 256)));
            } else {
                noise[sent % noise.size()] = static_cast<char>(sent);
                SendToReader(noise);
            }
        }
        ASSERT_TRUE(Pump([&] { return datagram_count == sent; })) << datagram_count << "/" << sent;
    }
    EXPECT_EQ(packet_count, valid);
    EXPECT_TRUE(in_order);
}

TEST_F(ReaderTcp, SessionCarriesCommandsAndIsClosedByDisconnect) {
    StartReader();
    LoopbackTcpPeer peer;
    EXPECT_FALSE(reader->IsConnected());
    ASSERT_TRUE(reader->Connect("127.0.0.1", peer.Port(), 3000));
    ASSERT_TRUE(peer.Accept());
    EXPECT_TRUE(reader->IsConnected());
    EXPECT_EQ(reader->CurrentState(), TRFIDReader::rsConnected);

    reader->Discover();
    EXPECT_EQ(Hex(peer.Receive(8)), Hex(EncodePacket(contract::kDiscover, "", 0)));
    EXPECT_TRUE(reader->SendCommandData(contract::kDisplay, "hi", 5, 2));
    EXPECT_EQ(peer.Receive(10), EncodePacket(23, "hi", 2, 5));
    EXPECT_EQ(controllers.Next(100ms), ""); // nothing went by UDP

    EXPECT_TRUE(reader->Disconnect(1000));
    EXPECT_EQ(reader->CurrentState(), 0);
    EXPECT_TRUE(peer.WaitClosed());
    reader->Discover();
    EXPECT_EQ(Hex(controllers.Next()), "2A 07 00 00 03 00 30 00");
}

TEST_F(ReaderTcp, StreamIsCutIntoPacketsWhateverTheChunksAndGarbage) {
    StartReader();
    LoopbackTcpPeer peer;
    ASSERT_TRUE(reader->Connect("127.0.0.1", peer.Port(), 3000));
    ASSERT_TRUE(peer.Accept());

    ASSERT_TRUE(peer.Send(EncodePacket(1, "first") + EncodePacket(2, "second")));
    ASSERT_TRUE(Pump([&] { return packets.size() == 2; }));
    EXPECT_EQ(packets[0].data, "first");
    EXPECT_EQ(packets[1].data, "second");

    const std::string split =
        EncodePacket(contract::kDiscoverReply, eproto_hex_to_bytes("0602901F"));
    ASSERT_TRUE(peer.Send(split.substr(0, 9)));
    Settle();
    EXPECT_EQ(packets.size(), 2u);
    ASSERT_TRUE(peer.Send(split.substr(9)));
    ASSERT_TRUE(Pump([&] { return devices.size() == 1; }));
    EXPECT_EQ(packets.size(), 3u);
    EXPECT_EQ(devices[0].Items.TCPPort, 8080);
    EXPECT_EQ(std::string(order.begin(), order.end()), "PPPV"); // no datagrams: TCP only

    std::string bad = EncodePacket(4, "bad");
    bad[1] ^= 0x40;
    ASSERT_TRUE(peer.Send("\x2Ajunk" + bad + EncodePacket(5, "after") + std::string(5000, '\x2A') +
                          EncodePacket(6, "last")));
    ASSERT_TRUE(Pump([&] { return packets.size() == 5; }));
    EXPECT_EQ(packets[3].data, "after");
    EXPECT_EQ(packets[4].data, "last");
    EXPECT_EQ(reader->StreamBacklog(), 0u);

    // Enciphered packets are deciphered on this path too.
    ASSERT_TRUE(peer.Send(EncodeSealedPacket(contract::kCardRead, "tcp card", "qzx")));
    ASSERT_TRUE(Pump([&] { return packets.size() == 6; }));
    EXPECT_TRUE(packets[5].Decrypted);
    EXPECT_EQ(packets[5].data, "tcp card");
}

TEST_F(ReaderTcp, ConnectWithoutWaitAndFailedConnectWithDisconnectFromTheHandler) {
    LoopbackTcpPeer peer;
    bool inner_disconnect = true;
    int error_calls = 0;
    std::string error_text;
    StartReader("qzx", 0, [&](const std::string& text) {
        ++error_calls;
        error_text = text;
        // What the main window does: disconnect at once, from the handler.
        inner_disconnect = reader->Disconnect(100);
    });

    EXPECT_TRUE(reader->Connect("127.0.0.1", peer.Port(), 0));
    ASSERT_TRUE(Pump([&] { return reader->IsConnected(); }));
    EXPECT_TRUE(reader->Disconnect(1000));

    EXPECT_FALSE(reader->Connect("127.0.0.1", ClosedPort(), 3000));
    ASSERT_TRUE(Pump([&] { return error_calls == 1 && reader->CurrentState() == 0; }));
    EXPECT_EQ(error_text.rfind("e_set", 0), 0u) << error_text;
    // The worker does not wait for the handler, so it carries the request out at once.
    EXPECT_TRUE(inner_disconnect);
    EXPECT_FALSE(reader->IsConnected());

    // The reader is still fully usable.
    ASSERT_TRUE(reader->Connect("127.0.0.1", peer.Port(), 3000));
    EXPECT_TRUE(reader->Disconnect(1000));
}

TEST_F(ReaderLifetime, ArrivalsNotRaisedWhenTheReaderEndsAreDroppedAndConnectIsNotHeldUp) {
    StartReader();
    LoopbackTcpPeer peer;
    SendToReader(EncodePacket(contract::kCardRead, "x"));
    for (int i = 0; i < 5000 && main.PendingCount() == 0; ++i) {
        std::this_thread::sleep_for(1ms);
    }
    ASSERT_EQ(main.PendingCount(), 1u); // one drain posted, nothing raised yet
    // The worker goes on while the main thread waits in Connect.
    EXPECT_TRUE(reader->Connect("127.0.0.1", peer.Port(), 3000));
    ASSERT_TRUE(peer.Accept());
    EXPECT_TRUE(order.empty());
    reader.reset();
    EXPECT_TRUE(peer.WaitClosed());
    main.ProcessMessages();
    EXPECT_TRUE(order.empty());
}

TEST_F(ReaderTcp, AFloodBeyondTheQueueIsDroppedCountedAndReportedWhileTheSessionGoesOn) {
    StartReader();
    LoopbackTcpPeer peer;
    ASSERT_TRUE(reader->Connect("127.0.0.1", peer.Port(), 3000));
    ASSERT_TRUE(peer.Accept());
    // The main thread raises nothing meanwhile: every packet beyond the
    // queue's capacity must be dropped, not kept.
    constexpr std::size_t kFlood = TRFIDReader::kArrivalCapacity + 5000;
    std::string flood;
    for (std::size_t n = 0; n < kFlood; ++n) {
        flood += EncodePacket(contract::kInputState, "", 0, static_cast<uint8_t>(n));
    }
    ASSERT_TRUE(peer.Send(flood));
    for (int i = 0; i < 5000 && reader->Arrivals().DroppedTotal() < 5000; ++i) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(reader->Arrivals().HighWater(), TRFIDReader::kArrivalCapacity);
    EXPECT_EQ(reader->Arrivals().DroppedTotal(), 5000u);
    // A command still goes out during the flood, and a TCP error is never
    // dropped, even with the queue full.
    reader->SendCommand(contract::kQuack, 0, 0);
    EXPECT_EQ(Hex(peer.Receive(8)), Hex(EncodePacket(contract::kQuack, "", 0)));
    peer.Close();

    ASSERT_TRUE(Pump([&] { return !errors.empty(); }));
    Settle();
    ASSERT_EQ(packets.size(), TRFIDReader::kArrivalCapacity);
    for (std::size_t n = 0; n < packets.size(); ++n) {
        ASSERT_EQ(packets[n].code, static_cast<uint8_t>(n)); // the oldest kept, in order
    }
    // Reported at once, then at most once a second while the flood lasts.
    EXPECT_EQ(dropped, std::vector<std::size_t>{5000});
    EXPECT_EQ(errors.size(), 1u);
    // Once every packet is raised, the total follows them. The peer's close
    // may be noticed before or after the queue has drained, so the error may
    // come on either side of it.
    EXPECT_EQ(caughtUp, std::vector<std::size_t>{5000});
    const std::string raised(order.begin(), order.end());
    EXPECT_GT(raised.rfind('U'), raised.rfind('P'));
}

TEST_F(ReaderUdp, EverySendIsReportedWithItsTransportAndDestination) {
    StartReader();
    reader->SetBroadcastAddresses({"127.255.255.255", "127.0.0.1"});
    reader->SetUDPFlag(2);
    reader->Discover();
    EXPECT_EQ(Hex(controllers.Next()), Hex(EncodePacket(contract::kDiscover, "", 2)));
    EXPECT_EQ(Hex(controllers.Next()), Hex(EncodePacket(contract::kDiscover, "", 2)));
    const std::string port = std::to_string(controllers.Port());
    ASSERT_EQ(sends.size(), 2u);
    EXPECT_EQ(sends[0].to, "127.255.255.255:" + port);
    EXPECT_EQ(sends[1].to, "127.0.0.1:" + port);
    EXPECT_FALSE(sends[0].tcp);
    EXPECT_EQ(sends[0].packet.cmd, contract::kDiscover);
    EXPECT_EQ(sends[0].packet.flags, 2); // the flags as sent
    // Other commands to everyone may go to fewer addresses than discovery.
    reader->SetCommandAddresses({"127.0.0.1"});
    reader->SendCommand(contract::kQuack, 0, 0);
    EXPECT_EQ(Hex(controllers.Next()), Hex(EncodePacket(contract::kQuack, "", 2)));
    ASSERT_EQ(sends.size(), 3u);
    EXPECT_EQ(sends[2].to, "127.0.0.1:" + port);
    reader->Discover(); // still to both
    EXPECT_EQ(sends.size(), 5u);

    LoopbackTcpPeer peer;
    ASSERT_TRUE(reader->Connect("127.0.0.1", peer.Port(), 3000));
    EXPECT_TRUE(reader->SendCommandData(contract::kDisplay, "hi", 5, 7));
    ASSERT_EQ(sends.size(), 6u);
    EXPECT_TRUE(sends[5].tcp);
    EXPECT_EQ(sends[5].to, "127.0.0.1:" + std::to_string(peer.Port()));
    EXPECT_EQ(sends[5].packet.data, "hi");
    EXPECT_EQ(sends[5].packet.flags, 7);
    EXPECT_EQ(sends[5].packet.code, 5);
}

} // namespace velkor
