// Encode, decode and decipher of a full 135-byte packet, in nanoseconds per
// packet. The baseline is the plain CRC-8 pass over the same bytes, measured
// in the same run: encode and decode should cost about two CRC passes, and
// decipher about three RC4 key schedules on top.
#include "protocol/eproto.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

namespace velkor {

namespace {

constexpr uint16_t kData = EPROTO_MAX_DATA;
const std::string kKey = "qzx";

std::array<uint8_t, kData> Payload() {
    std::array<uint8_t, kData> data{};
    for (std::size_t n = 0; n < data.size(); ++n) {
        data[n] = static_cast<uint8_t>(n * 7);
    }
    return data;
}

struct Packet {
    std::array<uint8_t, EPROTO_MAX_PACKET> bytes{};
    uint16_t size = 0;
};

int16_t AppendToPacket(const uint8_t* bytes, uint16_t count, void* context) {
    auto* packet = static_cast<Packet*>(context);
    std::memcpy(packet->bytes.data() + packet->size, bytes, count);
    packet->size = static_cast<uint16_t>(packet->size + count);
    return static_cast<int16_t>(count);
}

Packet EncodePacket(const uint8_t* data) {
    eproto_header header;
    eproto_header_init(&header);
    header.cmd = 136;
    header.len = kData;
    header.data = data;
    Packet packet;
    if (eproto_encode(&header, AppendToPacket, &packet) != EPROTO_HEADER_SIZE + kData) {
        std::abort(); // the benchmark would measure a broken packet
    }
    return packet;
}

void BM_Crc8Baseline(benchmark::State& state) {
    const auto data = Payload();
    for (auto _ : state) {
        benchmark::DoNotOptimize(eproto_crc8(data.data(), data.size(), 0));
    }
    state.SetBytesProcessed(state.iterations() * kData);
}

void BM_Encode(benchmark::State& state) {
    const auto data = Payload();
    for (auto _ : state) {
        Packet packet = EncodePacket(data.data());
        benchmark::DoNotOptimize(packet);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_Decode(benchmark::State& state) {
    const auto data = Payload();
    const Packet packet = EncodePacket(data.data());
    for (auto _ : state) {
        eproto_header header;
        uint16_t position = 0;
        benchmark::DoNotOptimize(
            eproto_decode(packet.bytes.data(), &position, packet.size, &header));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_Decipher(benchmark::State& state) {
    const auto payload = Payload();
    std::array<uint8_t, kData> sealed{};
    if (eproto_cipher_seal(sealed.data(), payload.data(), kData - EPROTO_CIPHER_OVERHEAD,
                           reinterpret_cast<const uint8_t*>(kKey.data()),
                           kKey.size()) != EPROTO_CIPHER_OK) {
        state.SkipWithError("sealing failed");
        return;
    }
    for (auto _ : state) {
        auto field = sealed;
        eproto_cipher context;
        benchmark::DoNotOptimize(eproto_cipher_init(&context, field.data(), kData, false));
        context.position = kData;
        benchmark::DoNotOptimize(eproto_cipher_decrypt(
            &context, reinterpret_cast<const uint8_t*>(kKey.data()), kKey.size()));
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(BM_Crc8Baseline);
BENCHMARK(BM_Encode);
BENCHMARK(BM_Decode);
BENCHMARK(BM_Decipher);

} // namespace velkor

BENCHMARK_MAIN();
