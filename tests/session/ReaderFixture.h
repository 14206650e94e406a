// A started reader on loopback with a deterministic main thread, a UDP
// listener standing in for the controllers' port, and every event recorded.
#pragma once

#include "session/QueuedMainThread.h"
#include "session/RFIDReader.h"
#include "tests/session/LoopbackPeers.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velkor {

class ReaderFixture : public ::testing::Test {
protected:
    // Starts the reader; `on_error` replaces the recording error handler.
    void StartReader(const std::string& key = "qzx", uint16_t controller_port = 0,
                     std::function<void(const std::string&)> on_error = {});
    // Processes main-thread messages until `done` or five seconds pass.
    bool Pump(const std::function<bool()>& done);
    // Processes messages for a while, for checks that nothing arrives.
    void Settle(std::chrono::milliseconds duration = std::chrono::milliseconds(100));
    // Sends one datagram to the reader from the controllers' listener.
    void SendToReader(const std::string& bytes);

    QueuedMainThread main;
    UdpListener controllers;
    std::unique_ptr<TRFIDReader> reader;

    std::vector<char> order; // 'D'atagram, 'P'acket, 'V'device, 'E'rror, 'X' dropped, 'U' caught up
    std::vector<TRFIDReaderDatagram> datagrams;
    std::vector<TRFIDReaderPacket> packets;
    std::vector<DiscoveryAnswer> devices;
    std::vector<std::string> errors;
    std::vector<ReaderSend> sends;
    std::vector<std::size_t> dropped;
    std::vector<std::size_t> caughtUp;
};

} // namespace velkor
