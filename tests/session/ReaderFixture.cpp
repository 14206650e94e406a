#include "tests/session/ReaderFixture.h"

namespace velkor {

using namespace std::chrono_literals;

void ReaderFixture::StartReader(const std::string& key, uint16_t controller_port,
                                std::function<void(const std::string&)> on_error) {
    reader = std::make_unique<TRFIDReader>(main);
    ReaderNetSettings settings;
    settings.BroadcastAddresses = {"127.255.255.255"};
    settings.ControllerUdpPort = controller_port != 0 ? controller_port : controllers.Port();
    settings.LocalUdpAddress = "127.0.0.1";
    reader->SetNetSettings(settings);
    reader->SetKey(key);
    if (!on_error) {
        on_error = [this](const std::string& text) {
            order.push_back('E');
            errors.push_back(text);
        };
    }
    IReaderLink::Events events;
    events.OnDatagram = [this](const TRFIDReaderDatagram& datagram) {
        order.push_back('D');
        datagrams.push_back(datagram);
    };
    events.OnPacket = [this](const TRFIDReaderPacket& packet) {
        order.push_back('P');
        packets.push_back(packet);
    };
    events.OnDevice = [this](const DiscoveryAnswer& answer) {
        order.push_back('V');
        devices.push_back(answer);
    };
    events.OnError = std::move(on_error);
    events.OnSent = [this](const ReaderSend& send) { sends.push_back(send); };
    events.OnDropped = [this](std::size_t count) {
        order.push_back('X');
        dropped.push_back(count);
    };
    events.OnCaughtUp = [this](std::size_t count) {
        order.push_back('U');
        caughtUp.push_back(count);
    };
    reader->SetEvents(std::move(events));
    reader->Start();
    ASSERT_NE(reader->LocalUdpPort(), 0);
}

bool ReaderFixture::Pump(const std::function<bool()>& done) {
    return main.ProcessUntil(done, 5s);
}

void ReaderFixture::Settle(std::chrono::milliseconds duration) {
    main.ProcessMessagesFor(duration);
}

void ReaderFixture::SendToReader(const std::string& bytes) {
    ASSERT_EQ(controllers.SendTo(bytes, reader->LocalUdpPort()), static_cast<int>(bytes.size()));
}

} // namespace velkor
